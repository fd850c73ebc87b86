#pragma once
// Helpers of the application tests: answers in place of a person (message
// boxes, folder choice, connection prompts), a private settings directory, a
// private pair of SQLite data sources per test process, and modal-dialog driving.
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QVariant>
#include <QWidget>

#include <gtest/gtest.h>

#include "TestEnv.h"
#include "UiTestSupport.h"
#include "app/UserDialogs.h"
#include "datasource/ConnectPrompt.h"
#include "ui/DialogBuilder.h"

class QDialog;

namespace apptest {

struct ShownMessage {
    std::string caption;
    std::string text;
};

class FakeUserDialogs : public UserDialogs {
public:
    void ShowCaptionedMessage(QWidget* parent, const std::string& caption, const std::string& text) override;
    bool ChooseFolder(QWidget* parent, const std::string& start, std::string& folder) override;
    bool ChooseOpenFile(QWidget* parent, const std::string& folder, const std::string& fileName,
                        std::string& chosen) override;
    bool ShowMessageOfferingToStop(QWidget* parent, const std::string& text) override;
    bool AskToKeepChanges(QWidget* parent, const std::string& text) override;

    std::vector<ShownMessage> messages;
    // The message boxes that offered to stop showing more; the answer is stopAnswer.
    int offeredToStop = 0;
    bool stopAnswer = false;
    // The questions whether to keep the changes; the answer is keepAnswer.
    std::vector<std::string> keepQuestions;
    bool keepAnswer = false;
    std::optional<std::string> fileAnswer;  // none: the user cancels
    std::string fileFolder;
    std::string fileName;
    std::optional<std::string> folderAnswer;  // none: the user cancels
    std::string folderStart;
    // Runs while a message box would be up (to look at the windows then).
    std::function<void()> onMessage;
};

class FakeConnectPrompt : public ConnectPrompt {
public:
    bool ChooseDataSource(std::string& dataSourceName) override;
    bool Login(const std::string& dataSourceName, const std::string& reason, std::string& user,
               std::string& password) override;

    std::vector<std::string> choices;   // answered first, one a prompt
    std::optional<std::string> choice;  // then this; none: the user cancels
    int chooseCalls = 0;
    int loginCalls = 0;
};

// Settings of the test in a directory of their own (QSettings' user scope).
class IsolatedSettings {
public:
    IsolatedSettings();
    ~IsolatedSettings();
    const std::filesystem::path& Dir() const { return m_dir.path(); }

private:
    testenv::TempDir m_dir;
};

// The two SQLite data sources of this test process (created by the test main
// when the test script's environment is there).
const char* OldDataSource();
const char* NewDataSource();
// Prepares them; called once by the test main.
void SetUpPrivateDataSources();
// True when they exist.
bool PrivateDataSourcesAvailable();
// The SQLite file behind the private data source of `role` ("old", "new").
std::string PrivateDataSourceFile(const std::string& role);

// How long a modal dialog may stay up after the action that should have ended
// it returned. Generous, since the machine may be busy; it only matters when a
// test is broken.
inline constexpr std::chrono::milliseconds kModalGiveUp{5000};

// Runs `action` once the next modal dialog is up (polling), then calls `run`
// which opens it. The action gets the active modal widget. A dialog the action
// left open is a test failure: once `giveUp` has passed it is closed, so that
// the test ends instead of waiting in its modal loop for ctest's timeout.
int WhileModal(const std::function<void(QDialog*)>& action, const std::function<int()>& run,
               std::chrono::milliseconds giveUp = kModalGiveUp);

// The control `id` of a dialog window the test has no dialog object for (one
// that a prompt or a command opened), or nullptr.
template <class T>
T* Control(const QWidget* window, int id)
{
    for (T* widget : window->findChildren<T*>())
        if (widget->property(DialogBuilder::kIdProperty).toInt() == id)
            return widget;
    return nullptr;
}

// Top-level widgets still alive after pending deletions ran, and the base of
// the fixtures of tests that open windows (each test leaves none behind): the
// toolkit tests' own.
using uitest::TopLevelWidgetCount;
using uitest::WindowTest;

// Executes SQL statements on a data source, ignoring nothing.
void Exec(const std::string& dataSource, const std::vector<std::string>& statements);

} // namespace apptest

#define REQUIRE_PRIVATE_DATA_SOURCES()                                                       \
    do {                                                                                   \
        if (!apptest::PrivateDataSourcesAvailable())                                       \
            GTEST_SKIP() << "data sources not set up: run the tests with scripts/test";    \
    } while (0)
