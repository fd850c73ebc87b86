// The settings store: INI file in the user's configuration directory, string
// and integer values with defaults, and the difference data path rule.
#include <gtest/gtest.h>

#include <QSettings>

#include <filesystem>
#include <ostream>

#include "AppTestSupport.h"
#include "app/ProgramPaths.h"
#include "app/SettingsStore.h"
#include "common/CompareSettings.h"

namespace {

constexpr const char* kCompany = "Orvenne Software Inc.";
constexpr const char* kApplication = "Tolvane and Merge";

// Records the order of the writes and reads that reach the store.
class RecordingValues : public SettingsValues {
public:
    explicit RecordingValues(SettingsValues& inner) : m_inner(inner) {}
    std::string ReadString(const std::string& s, const std::string& k, const std::string& d) const override
    {
        reads.push_back(k);
        return m_inner.ReadString(s, k, d);
    }
    std::int32_t ReadInt(const std::string& s, const std::string& k, std::int32_t d) const override
    {
        reads.push_back(k);
        return m_inner.ReadInt(s, k, d);
    }
    void WriteString(const std::string& s, const std::string& k, const std::string& v) override
    {
        writes.push_back(k);
        m_inner.WriteString(s, k, v);
    }
    void WriteInt(const std::string& s, const std::string& k, std::int32_t v) override
    {
        writes.push_back(k);
        m_inner.WriteInt(s, k, v);
    }
    mutable std::vector<std::string> reads;
    std::vector<std::string> writes;

private:
    SettingsValues& m_inner;
};

const std::vector<std::string> kStoredKeys = {
    "File1 Line Prefix", "File2 Line Prefix", "File1 Section Header", "File2 Section Header",
    "File1 Section Footer", "File2 Section Footer", "Compare Output File", "Synch Scrolling",
    "Write Common Sections", "Ignore Whitespace", "Ignore Case", "File Compare Align",
    "File 1 Color", "File 2 Color", "Show Line Numbers", "Memory Budget"};

} // namespace

TEST(SettingsStore, EmptyStoreGivesTheCallersDefaults)
{
    apptest::IsolatedSettings isolated;
    SettingsStore store(kCompany, kApplication);
    EXPECT_EQ(store.ReadString("Settings", "Old DS", ""), "");
    EXPECT_EQ(store.ReadString("Settings", "Merge DS", "fallback"), "fallback");
    EXPECT_EQ(store.ReadInt("Compare Files", "File 1 Color", 8388736), 8388736);
    EXPECT_EQ(store.ReadInt("91", "Left", -1), -1);
}

TEST(SettingsStore, ValuesSurviveARestartOfTheStore)
{
    apptest::IsolatedSettings isolated;
    {
        SettingsStore store(kCompany, kApplication);
        store.WriteString("Settings", "Old DS", "Sales; old {x} ");
        store.WriteString("Settings", "Diff Path", "/data/diff/");
        store.WriteString("Compare Files", "File1 Line Prefix", "");
        store.WriteInt("Compare Files", "File 1 Color", 8388736);
        store.WriteInt("Compare Files", "Write Common Sections", 0);
        store.WriteInt("91", "Left", -12);
        store.WriteInt("91", "Top", INT32_MIN);
    }
    SettingsStore store(kCompany, kApplication);
    EXPECT_EQ(store.ReadString("Settings", "Old DS", ""), "Sales; old {x} ");
    EXPECT_EQ(store.ReadString("Settings", "Diff Path", ""), "/data/diff/");
    // A stored empty text is a value, not an absent one.
    EXPECT_EQ(store.ReadString("Compare Files", "File1 Line Prefix", "|<<"), "");
    EXPECT_EQ(store.ReadInt("Compare Files", "File 1 Color", 1), 8388736);
    EXPECT_EQ(store.ReadInt("Compare Files", "Write Common Sections", 1), 0);
    EXPECT_EQ(store.ReadInt("91", "Left", 0), -12);
    EXPECT_EQ(store.ReadInt("91", "Top", 0), INT32_MIN);
}

TEST(SettingsStore, LivesInAnIniFileNamedAfterCompanyAndTitle)
{
    apptest::IsolatedSettings isolated;
    SettingsStore store(kCompany, kApplication);
    store.WriteString("Settings", "New DS", "Inventory");
    const auto expected = isolated.Dir() / kCompany / (std::string(kApplication) + ".ini");
    EXPECT_EQ(std::filesystem::path(store.FileName()), expected);
    ASSERT_TRUE(std::filesystem::exists(expected));
    const std::string text = testenv::ReadFile(expected);
    EXPECT_NE(text.find("[Settings]"), std::string::npos);
    EXPECT_NE(text.find("Inventory"), std::string::npos);
}

TEST(SettingsStore, AnIntegerThatIsNotANumberReadsAsAbsent)
{
    apptest::IsolatedSettings isolated;
    SettingsStore store(kCompany, kApplication);
    store.WriteString("Compare Files", "Ignore Case", "yes");
    EXPECT_EQ(store.ReadInt("Compare Files", "Ignore Case", 7), 7);
}

TEST(SettingsStore, CompareSettingsFromAnEmptyStoreHoldTheDefaults)
{
    apptest::IsolatedSettings isolated;
    SettingsStore store(kCompany, kApplication);
    CompareSettings settings;
    settings.LoadSettings(store);
    EXPECT_EQ(settings.m_strFile1LinePrefix, "|<<");
    EXPECT_EQ(settings.m_strFile2LinePrefix, "||>>");
    EXPECT_EQ(settings.m_strFile1SectionHeader, "");
    EXPECT_EQ(settings.m_strFile2SectionFooter, "");
    EXPECT_EQ(settings.m_bWriteCommonSections, 1);
    EXPECT_EQ(settings.m_crFile1Color, 8388736);
    EXPECT_EQ(settings.m_crFile2Color, 32768);
}

TEST(SettingsStore, TheFifteenValuesInTheirOrderAndBackAfterARestart)
{
    apptest::IsolatedSettings isolated;
    CompareSettings written;
    written.m_strFile1LinePrefix = "<";
    written.m_strFile2LinePrefix = ">";
    written.m_strFile1SectionHeader = "H1";
    written.m_strFile2SectionHeader = "H2";
    written.m_strFile1SectionFooter = "F1";
    written.m_strFile2SectionFooter = "F2";
    written.m_strOutputFile = "out.txt";
    written.m_bSynchScrolling = 0;
    written.m_bWriteCommonSections = 0;
    written.m_bIgnoreWhitespace = 1;
    written.m_bIgnoreCase = 1;
    written.m_nFileCompareAlign = 3;
    written.m_crFile1Color = 255;
    written.m_crFile2Color = 65280;
    written.m_bShowLineNumbers = 0;
    written.m_strMemoryBudget = "3G";
    {
        SettingsStore store(kCompany, kApplication);
        RecordingValues recording(store);
        written.SaveSettings(recording);
        EXPECT_EQ(recording.writes, kStoredKeys);
    }
    SettingsStore store(kCompany, kApplication);
    RecordingValues recording(store);
    CompareSettings read;
    read.LoadSettings(recording);
    EXPECT_EQ(recording.reads, kStoredKeys);
    EXPECT_EQ(read.m_strFile1LinePrefix, "<");
    EXPECT_EQ(read.m_strFile2LinePrefix, ">");
    EXPECT_EQ(read.m_strMemoryBudget, "3G");
    EXPECT_EQ(read.m_strFile1SectionHeader, "H1");
    EXPECT_EQ(read.m_strFile2SectionHeader, "H2");
    EXPECT_EQ(read.m_strFile1SectionFooter, "F1");
    EXPECT_EQ(read.m_strFile2SectionFooter, "F2");
    EXPECT_EQ(read.m_strOutputFile, "out.txt");
    EXPECT_EQ(read.m_bSynchScrolling, 0);
    EXPECT_EQ(read.m_bWriteCommonSections, 0);
    EXPECT_EQ(read.m_bIgnoreWhitespace, 1);
    EXPECT_EQ(read.m_bIgnoreCase, 1);
    EXPECT_EQ(read.m_nFileCompareAlign, 3);
    EXPECT_EQ(read.m_crFile1Color, 255);
    EXPECT_EQ(read.m_crFile2Color, 65280);
    EXPECT_EQ(read.m_bShowLineNumbers, 0);
}

struct DiffPathCase {
    const char* name;
    const char* stored;
    const char* executable;
    const char* expected;
};

// ctest lists a case by its name, not by the bytes of its parameter.
void PrintTo(const DiffPathCase& c, std::ostream* os)
{
    *os << c.name;
}

class DiffPathRule : public ::testing::TestWithParam<DiffPathCase> {};

TEST_P(DiffPathRule, Normalises)
{
    const DiffPathCase& c = GetParam();
    EXPECT_EQ(NormaliseDiffPath(c.stored, c.executable), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DiffPathRule,
    ::testing::Values(DiffPathCase{"EmptyIsTheProgramsDirectory", "", "/opt/tolvane/bin/tolvane", "/opt/tolvane/bin/"},
                      DiffPathCase{"GetsItsSlash", "/data/diff", "/opt/tolvane/bin/tolvane", "/data/diff/"},
                      DiffPathCase{"KeepsItsSlash", "/data/diff/", "/opt/tolvane/bin/tolvane", "/data/diff/"},
                      DiffPathCase{"RelativeGetsItsSlash", "relative", "/opt/tolvane/bin/tolvane", "relative/"},
                      DiffPathCase{"RootStays", "/", "/opt/tolvane/bin/tolvane", "/"},
                      DiffPathCase{"EmptyWithABareProgramNameStaysEmpty", "", "tolvane", ""},
                      DiffPathCase{"EmptyWithTheProgramInTheRootIsTheRoot", "", "/tolvane", "/"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProgramPaths, DirectoryOfFileKeepsTheTrailingSlash)
{
    EXPECT_EQ(DirectoryOfFile("/a/b/c"), "/a/b/");
    EXPECT_EQ(DirectoryOfFile("c"), "");
    EXPECT_EQ(WithTrailingSeparator(""), "");
    EXPECT_EQ(WithTrailingSeparator("x"), "x/");
}
