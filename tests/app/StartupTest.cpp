// Start-up: the language module beside the executable, its version check, and
// the settings root taken from the current resource source.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <optional>

#include "AppTestSupport.h"
#include "app/CCompareApp.h"
#include "app/ModuleVersion.h"
#include "app/ProgramPaths.h"
#include "app/SettingsStore.h"
#include "common/ResourceStrings.h"

namespace {

namespace fs = std::filesystem;

// An executable's directory with (or without) a KVLANG.DLL in it.
struct ProgramDir {
    testenv::TempDir dir;
    std::string executable = (dir.path() / "tolvane").string();

    void Put(const std::string& moduleKind)
    {
        fs::copy_file(fs::path(TOLVANE_TEST_MODULES) / moduleKind / "KVLANG.DLL", dir.path() / "KVLANG.DLL");
    }
};

const std::string kOwnMismatch = "Language DLL version does not match that of the program.";

// Start-up may show the main dialog and message boxes; none may stay.
class Startup : public apptest::WindowTest {};

} // namespace

TEST_F(Startup, WithoutModuleTheOwnResourcesServe)
{
    apptest::FakeUserDialogs dialogs;
    ProgramDir program;
    CCompareApp app(dialogs, program.executable);
    app.LoadLanguageModule();
    EXPECT_EQ(app.m_hLangModule, nullptr);
    EXPECT_FALSE(app.Resources().IsModuleActive());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(LoadResourceString(3001), "Old Tables");
    EXPECT_EQ(app.Resources().LoadDialogTemplate(142)->caption, "Compare Data Sources");
}

TEST_F(Startup, MatchingModuleSuppliesStringsTemplatesAndTheCompanyName)
{
    apptest::IsolatedSettings isolated;
    apptest::FakeUserDialogs dialogs;
    ProgramDir program;
    program.Put("match");
    CCompareApp app(dialogs, program.executable);
    app.LoadLanguageModule();
    ASSERT_NE(app.m_hLangModule, nullptr);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(LoadResourceString(3001), "Old Tables (module)");
    // What the module lacks comes from the program's own table.
    EXPECT_EQ(LoadResourceString(3002), "New Tables");
    EXPECT_EQ(app.Resources().LoadDialogTemplate(142)->caption, "Compare Data Sources (module)");
    EXPECT_FALSE(app.Resources().LoadIcon(128).isNull());

    ASSERT_TRUE(app.InitComponentRuntime());
    app.SetSettingsRoot();
    ASSERT_NE(app.Settings(), nullptr);
    EXPECT_EQ(app.Settings()->CompanyName(), "Test Module Company");
    EXPECT_EQ(app.Settings()->ApplicationName(), "Tolvane and Merge");
    app.Settings()->WriteString("Settings", "Old DS", "x");
    EXPECT_TRUE(fs::exists(isolated.Dir() / "Test Module Company" / "Tolvane and Merge.ini"));
}

TEST_F(Startup, MismatchedModuleShowsItsMessageAndIsReleased)
{
    apptest::FakeUserDialogs dialogs;
    ProgramDir program;
    program.Put("mismatch");
    CCompareApp app(dialogs, program.executable);
    app.LoadLanguageModule();
    EXPECT_EQ(app.m_hLangModule, nullptr);
    EXPECT_FALSE(app.Resources().IsModuleActive());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    // The text is loaded while the module is still the source.
    EXPECT_EQ(dialogs.messages[0].text, "Module text: the version does not match.");
    EXPECT_EQ(dialogs.messages[0].caption, "Tolvane and Merge");
    EXPECT_EQ(LoadResourceString(3001), "Old Tables");
    app.SetSettingsRoot();
    EXPECT_EQ(app.Settings()->CompanyName(), "Orvenne Software Inc.");
}

TEST_F(Startup, ModuleWithoutVersionStaysWithoutMessage)
{
    apptest::FakeUserDialogs dialogs;
    ProgramDir program;
    program.Put("noversion");
    CCompareApp app(dialogs, program.executable);
    app.LoadLanguageModule();
    ASSERT_NE(app.m_hLangModule, nullptr);
    EXPECT_TRUE(dialogs.messages.empty());
    std::string version = "unchanged";
    EXPECT_FALSE(GetModuleVersionString(*app.m_hLangModule, version));
    EXPECT_EQ(version, "unchanged");
    EXPECT_EQ(LoadResourceString(3001), "Old Tables (module)");
}

TEST_F(Startup, ModuleWhoseFileVersionCannotBeReadCountsAsMismatch)
{
    apptest::FakeUserDialogs dialogs;
    ProgramDir program;
    program.Put("nofileversion");
    CCompareApp app(dialogs, program.executable);
    app.LoadLanguageModule();
    EXPECT_EQ(app.m_hLangModule, nullptr);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Module text: the version does not match.");
}

TEST_F(Startup, AFileThatIsNotAModuleIsIgnoredSilently)
{
    apptest::FakeUserDialogs dialogs;
    ProgramDir program;
    testenv::WriteFile(program.dir.path() / "KVLANG.DLL", "MZ this is not a resource bundle");
    CCompareApp app(dialogs, program.executable);
    app.LoadLanguageModule();
    EXPECT_EQ(app.m_hLangModule, nullptr);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(LoadResourceString(3001), "Old Tables");
}

TEST_F(Startup, AnExecutableNameWithoutDirectorySkipsTheModule)
{
    apptest::FakeUserDialogs dialogs;
    CCompareApp app(dialogs, "tolvane");
    app.LoadLanguageModule();
    EXPECT_EQ(app.m_hLangModule, nullptr);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Startup, TheGermanModuleIsOfTheProgramsVersion)
{
    apptest::FakeUserDialogs dialogs;
    ProgramDir program;
    fs::copy_file(TOLVANE_DE_MODULE, program.dir.path() / "KVLANG.DLL");
    CCompareApp app(dialogs, program.executable);
    app.LoadLanguageModule();
    ASSERT_NE(app.m_hLangModule, nullptr);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(LoadResourceString(3001), "Alte Tabellen");
    EXPECT_EQ(app.Resources().LoadDialogTemplate(142)->caption, "Datenquellen vergleichen");
    EXPECT_EQ(app.Resources().LoadDialogTemplate(143)->caption, "Optionen");
    EXPECT_EQ(app.Resources().LoadDialogTemplate(100)->caption, "Info über Tolvane");
    EXPECT_EQ(app.Resources().LoadMenuTemplate(103)->items.at(0).text, "Ö&ffnen");
    EXPECT_EQ(LoadResourceString(2325), "Schreiben Sie an tolvane@orvenne.example");
}

// The locale's variables for one test, put back afterwards.
class LocaleVariables {
public:
    LocaleVariables(const char* lcAll, const char* lcMessages, const char* lang)
    {
        const char* values[] = {lcAll, lcMessages, lang};
        for (std::size_t i = 0; i < std::size(kNames); ++i) {
            if (const char* old = std::getenv(kNames[i]))
                m_saved[i] = old;
            if (values[i])
                ::setenv(kNames[i], values[i], 1);
            else
                ::unsetenv(kNames[i]);
        }
    }
    ~LocaleVariables()
    {
        for (std::size_t i = 0; i < std::size(kNames); ++i) {
            if (m_saved[i])
                ::setenv(kNames[i], m_saved[i]->c_str(), 1);
            else
                ::unsetenv(kNames[i]);
        }
    }

private:
    static constexpr const char* kNames[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::optional<std::string> m_saved[3];
};

TEST(LocaleLanguage, TakesTheFirstSetVariableAndItsLanguageOnly)
{
    struct Case {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        const char* language;
    };
    const Case cases[] = {
        {nullptr, nullptr, "de_DE.UTF-8", "de"},  {nullptr, "de_AT", "en_US.UTF-8", "de"},
        {"en_GB.UTF-8", "de_DE", "de_DE", "en"},  {"", nullptr, "de@euro", "de"},
        {nullptr, nullptr, "C.UTF-8", ""},        {"POSIX", nullptr, "de_DE", ""},
        {nullptr, nullptr, nullptr, ""},          {nullptr, nullptr, "fr", "fr"},
    };
    for (const Case& c : cases) {
        LocaleVariables locale(c.lcAll, c.lcMessages, c.lang);
        EXPECT_EQ(LocaleLanguage(), c.language) << (c.lang ? c.lang : "-");
    }
}

// An installed module of the user's language serves where none lies beside the
// executable; one beside it serves everyone.
TEST_F(Startup, TheModuleOfTheUsersLanguageServesWhereNoneLiesBesideTheProgram)
{
    struct Case {
        const char* name;
        const char* lang;
        bool beside;
        const char* caption;
    };
    const Case cases[] = {
        {"German user", "de_DE.UTF-8", false, "Datenquellen vergleichen"},
        {"English user", "C.UTF-8", false, "Compare Data Sources"},
        {"French user", "fr_FR.UTF-8", false, "Compare Data Sources"},
        {"module beside the program", "C.UTF-8", true, "Datenquellen vergleichen"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        apptest::FakeUserDialogs dialogs;
        ProgramDir program;
        fs::create_directories(program.dir.path() / "lang" / "de");
        fs::copy_file(TOLVANE_DE_MODULE, program.dir.path() / "lang" / "de" / "KVLANG.DLL");
        if (c.beside)
            fs::copy_file(TOLVANE_DE_MODULE, program.dir.path() / "KVLANG.DLL");
        LocaleVariables locale(nullptr, nullptr, c.lang);
        CCompareApp app(dialogs, program.executable);
        app.LoadLanguageModule();
        EXPECT_EQ(app.Resources().LoadDialogTemplate(142)->caption, c.caption);
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

TEST_F(Startup, InitInstanceRunsTheMainDialogAndStoresItsValues)
{
    apptest::IsolatedSettings isolated;
    apptest::FakeUserDialogs dialogs;
    ProgramDir program;
    program.Put("match");
    CCompareApp app(dialogs, program.executable);
    std::string caption;
    bool ran = false;
    const bool result = apptest::WhileModal(
        [&](QDialog* dialog) {
            caption = dialog->windowTitle().toStdString();
            dialog->reject();  // Close
        },
        [&] {
            ran = true;
            return app.InitInstance() ? 1 : 0;
        });
    EXPECT_TRUE(ran);
    EXPECT_FALSE(result);
    EXPECT_EQ(caption, "Compare Data Sources (module)");
    // The destroyed dialog stored its three values under the module's company name.
    SettingsStore store("Test Module Company", "Tolvane and Merge");
    EXPECT_EQ(store.ReadString("Settings", "Diff Path", "<absent>"), program.dir.str() + "/");
    EXPECT_EQ(store.ReadString("Settings", "Old DS", "<absent>"), "");
    EXPECT_EQ(store.ReadString("Settings", "New DS", "<absent>"), "");
    EXPECT_EQ(apptest::TopLevelWidgetCount(), 0);
}
