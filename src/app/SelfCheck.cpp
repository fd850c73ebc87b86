#include "app/SelfCheck.h"

#include <QGuiApplication>

#include <ostream>

#include "app/CCompareApp.h"
#include "app/CCompareDlg.h"
#include "app/ModuleVersion.h"
#include "app/UserDialogs.h"

namespace {

// Message boxes as lines: nobody is there to press OK.
class PrintedDialogs : public UserDialogs {
public:
    explicit PrintedDialogs(std::ostream& out) : m_out(out) {}
    void ShowCaptionedMessage(QWidget*, const std::string& caption, const std::string& text) override
    {
        m_out << "message: " << caption << ": " << text << "\n";
    }
    bool ChooseFolder(QWidget*, const std::string&, std::string&) override { return false; }
    bool ChooseOpenFile(QWidget*, const std::string&, const std::string&, std::string&) override { return false; }
    bool ShowMessageOfferingToStop(QWidget* parent, const std::string& text) override
    {
        ShowMessage(parent, text);
        return false;
    }
    bool AskToKeepChanges(QWidget* parent, const std::string& text) override
    {
        ShowMessage(parent, text);
        return false;
    }

private:
    std::ostream& m_out;
};

} // namespace

int RunSelfCheck(std::ostream& out)
{
    PrintedDialogs dialogs(out);
    CCompareApp app(dialogs);
    app.LoadLanguageModule();
    const ResourceSource& resources = app.Resources();
    std::string version = "unknown";
    GetModuleVersionString(ResourceModule::Own(app.ExecutableFileName()), version);
    out << "version: " << version << "\n";
    out << "executable: " << app.ExecutableFileName() << "\n";
    out << "resources: " << (resources.IsModuleActive() ? resources.Current().FileName() : "built in") << "\n";
    const auto mainDialog = resources.LoadDialogTemplate(CCompareDlg::IDD);
    out << "main dialog: " << (mainDialog ? mainDialog->caption : "missing") << "\n";
    out << "platform: " << QGuiApplication::platformName().toStdString() << "\n";
    out.flush();
    return mainDialog ? 0 : 1;
}
