#include "AppTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QSettings>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <fstream>
#include <memory>

#include "RawOdbc.h"

namespace apptest {

void FakeUserDialogs::ShowCaptionedMessage(QWidget*, const std::string& caption, const std::string& text)
{
    messages.push_back({caption, text});
    if (onMessage)
        onMessage();
}

bool FakeUserDialogs::ChooseFolder(QWidget*, const std::string& start, std::string& folder)
{
    folderStart = start;
    if (!folderAnswer)
        return false;
    folder = *folderAnswer;
    return true;
}

bool FakeUserDialogs::ChooseOpenFile(QWidget*, const std::string& folder, const std::string& name,
                                     std::string& chosen)
{
    fileFolder = folder;
    fileName = name;
    if (!fileAnswer)
        return false;
    chosen = *fileAnswer;
    return true;
}

bool FakeUserDialogs::ShowMessageOfferingToStop(QWidget* parent, const std::string& text)
{
    ++offeredToStop;
    ShowCaptionedMessage(parent, MessageBoxTitle(), text);
    return stopAnswer;
}

bool FakeUserDialogs::AskToKeepChanges(QWidget*, const std::string& text)
{
    keepQuestions.push_back(text);
    if (onMessage)
        onMessage();
    return keepAnswer;
}

bool FakeConnectPrompt::ChooseDataSource(std::string& dataSourceName)
{
    ++chooseCalls;
    if (!choices.empty()) {
        dataSourceName = choices.front();
        choices.erase(choices.begin());
        return true;
    }
    if (!choice)
        return false;
    dataSourceName = *choice;
    return true;
}

bool FakeConnectPrompt::Login(const std::string&, const std::string&, std::string&, std::string&)
{
    ++loginCalls;
    return false;
}

IsolatedSettings::IsolatedSettings()
{
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(m_dir.str()));
}

IsolatedSettings::~IsolatedSettings() = default;

namespace {

struct PrivateSources {
    std::unique_ptr<testenv::TempDir> dir;
    bool available = false;
};

PrivateSources& Sources()
{
    static PrivateSources sources;
    return sources;
}

std::string CopyOfFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

const char* OldDataSource()
{
    return "tolvane_app_old";
}

const char* NewDataSource()
{
    return "tolvane_app_new";
}

void SetUpPrivateDataSources()
{
    const char* userIni = std::getenv("ODBCINI");
    if (!testenv::Available() || !userIni)
        return;
    // Each test process gets its own database files, so that tests running in
    // parallel never see each other's tables.
    PrivateSources& sources = Sources();
    sources.dir = std::make_unique<testenv::TempDir>();
    const std::string dir = sources.dir->str();
    std::string ini = CopyOfFile(userIni);
    for (const char* role : {"old", "new"}) {
        ini += std::string("\n[tolvane_app_") + role + "]\nDescription=Application test data source (" + role +
               ")\nDriver=SQLite3\nDatabase=" + dir + "/" + role + ".db\nStepAPI=1\nTimeout=10000\n";
    }
    const std::string privateIni = dir + "/user.ini";
    testenv::WriteFile(privateIni, ini);
    setenv("ODBCINI", privateIni.c_str(), 1);
    sources.available = true;
}

bool PrivateDataSourcesAvailable()
{
    return Sources().available;
}

std::string PrivateDataSourceFile(const std::string& role)
{
    return Sources().dir->str() + "/" + role + ".db";
}

int WhileModal(const std::function<void(QDialog*)>& action, const std::function<int()>& run,
               std::chrono::milliseconds giveUp)
{
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(5);
    bool started = false;
    bool returned = false;
    bool gaveUp = false;
    QPointer<QDialog> handled;
    QElapsedTimer sinceAction;
    QObject::connect(timer.get(), &QTimer::timeout, [&] {
        if (!started) {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            started = true;
            handled = dialog;
            action(dialog);
            returned = true;
            sinceAction.start();
            return;
        }
        // The action may itself run event loops (nested dialogs); only a dialog
        // still up after it returned is one it failed to end.
        if (!returned || !handled || !handled->isVisible() || sinceAction.elapsed() < giveUp.count())
            return;
        if (!gaveUp) {
            gaveUp = true;
            ADD_FAILURE() << "the modal dialog \"" << handled->windowTitle().toStdString()
                          << "\" was still open " << giveUp.count() << " ms after the test's action";
        }
        // Past the dialog's own Cancel handling, which may refuse.
        handled->done(QDialog::Rejected);
    });
    timer->start();
    const int result = run();
    timer->stop();
    return result;
}

void Exec(const std::string& dataSource, const std::vector<std::string>& statements)
{
    rawodbc::Connection connection(dataSource);
    for (const std::string& statement : statements)
        connection.Exec(statement);
}

} // namespace apptest
