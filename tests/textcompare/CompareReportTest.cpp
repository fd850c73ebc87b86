#include "textcompare/CompareReport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "EngineTestSupport.h"

namespace {

using enginetest::CrLfLines;

// Two dumps and a merge file in a temporary directory.
class Report : public ::testing::Test {
protected:
    Report()
    {
        settings.m_bWriteCommonSections = 0;  // as the compare run sets it
        settings.m_strFile1Path = (dir.path() / "old.csv").string();
        settings.m_strFile2Path = (dir.path() / "new.csv").string();
    }

    // Compares the two texts and returns what was appended to the merge file.
    std::string Compare(const std::string& old, const std::string& updated, int expectedResult = 1)
    {
        testenv::WriteFile(settings.m_strFile1Path, old);
        testenv::WriteFile(settings.m_strFile2Path, updated);
        return Run(expectedResult);
    }

    std::string Run(int expectedResult = 1)
    {
        const std::string path = (dir.path() / "Vantor_Merge.txt").string();
        OutputFile merge(path, OutputFile::Mode::Untranslated);
        merge.Write("head");
        EXPECT_EQ(CompareFiles(settings, merge), expectedResult);
        merge.Close();
        const std::string text = testenv::ReadFile(path);
        EXPECT_EQ(text.substr(0, 4), "head");
        return text.substr(4);
    }

    void SetMarkers(const std::string& h1, const std::string& f1, const std::string& h2, const std::string& f2)
    {
        settings.m_strFile1SectionHeader = h1;
        settings.m_strFile1SectionFooter = f1;
        settings.m_strFile2SectionHeader = h2;
        settings.m_strFile2SectionFooter = f2;
    }

    testenv::TempDir dir;
    CompareSettings settings;
};

const std::vector<std::string> kOld = {"ID,NAME", "1,\"one\"", "2,\"two\"", "3,\"three\""};
const std::vector<std::string> kChanged = {"ID,NAME", "1,\"one\"", "2,\"TWO\"", "3,\"three\""};

TEST_F(Report, ARowChangedAmongUnchangedOnesGivesItsOldThenItsNewLine)
{
    EXPECT_EQ(Compare(CrLfLines(kOld), CrLfLines(kChanged)), "|<<2,\"two\"\r\n||>>2,\"TWO\"\r\n");
}

TEST_F(Report, EqualDumpsAppendNothing)
{
    EXPECT_EQ(Compare(CrLfLines(kOld), CrLfLines(kOld)), "");
}

TEST_F(Report, CommonLinesAreWrittenWithoutPrefixWhenAsked)
{
    settings.m_bWriteCommonSections = 1;
    EXPECT_EQ(Compare(CrLfLines(kOld), CrLfLines(kChanged)),
              "ID,NAME\r\n1,\"one\"\r\n|<<2,\"two\"\r\n||>>2,\"TWO\"\r\n3,\"three\"\r\n");
}

struct MarkerCase {
    const char* name;
    std::string h1, f1, h2, f2;
    std::string report;
};

TEST_F(Report, SectionHeadersAndFootersFrameEachGroup)
{
    const std::vector<MarkerCase> cases = {
        {"all four", "H1", "F1", "H2", "F2",
         "H1\r\n|<<2,\"two\"\r\nF1\r\nH2\r\n||>>2,\"TWO\"\r\nF2\r\n"},
        {"only footers: F1 between the groups, F2 after them", "", "F1", "", "F2",
         "|<<2,\"two\"\r\nF1\r\n||>>2,\"TWO\"\r\nF2\r\n"},
        {"only the file-2 footer: at the end of the run", "", "", "", "F2",
         "|<<2,\"two\"\r\n||>>2,\"TWO\"\r\nF2\r\n"},
        {"only headers", "H1", "", "H2", "",
         "H1\r\n|<<2,\"two\"\r\nH2\r\n||>>2,\"TWO\"\r\n"},
        {"only the file-1 footer: closes the file-1 group only", "", "F1", "", "",
         "|<<2,\"two\"\r\nF1\r\n||>>2,\"TWO\"\r\n"},
    };
    for (const auto& c : cases) {
        SetMarkers(c.h1, c.f1, c.h2, c.f2);
        EXPECT_EQ(Compare(CrLfLines(kOld), CrLfLines(kChanged)), c.report) << c.name;
    }
}

TEST_F(Report, ARunWithFile1LinesAgainAfterFile2LinesGetsNoNewHeader)
{
    // Results in: X removed, Y added, A removed, B-C common, A added.
    SetMarkers("H1", "F1", "H2", "F2");
    EXPECT_EQ(Compare(CrLfLines({"X", "A", "B", "C"}), CrLfLines({"Y", "B", "C", "A"})),
              "H1\r\n|<<X\r\nF1\r\nH2\r\n||>>Y\r\n|<<A\r\nF2\r\n"
              "H2\r\n||>>A\r\nF2\r\n");
}

TEST_F(Report, EmptyPrefixesWriteTheDumpLinesThemselves)
{
    settings.m_strFile1LinePrefix.clear();
    settings.m_strFile2LinePrefix.clear();
    EXPECT_EQ(Compare(CrLfLines(kOld), CrLfLines(kChanged)), "2,\"two\"\r\n2,\"TWO\"\r\n");
}

TEST_F(Report, BareLineFeedFilesEndMarkersWithLineFeedOnly)
{
    SetMarkers("H1", "F1", "H2", "F2");
    EXPECT_EQ(Compare("a\nb\nc\n", "a\nB\nc\n"), "H1\n|<<b\nF1\nH2\n||>>B\nF2\n");
    // The first line break of the old dump decides.
    EXPECT_EQ(Compare("a\r\nb\n", "a\r\nB\n"), "H1\r\n|<<b\nF1\r\nH2\r\n||>>B\nF2\r\n");
}

TEST_F(Report, ALongRowThatChangedInItsLastFieldIsOneLineEachSide)
{
    const std::string start = "7,\"" + std::string(600, 'v') + "\",";
    const std::string oldRow = start + "100";
    const std::string newRow = start + "101";
    const std::string report = Compare(CrLfLines({"ID,TEXT,N", "6,\"a\",1", oldRow, "8,\"b\",2"}),
                                       CrLfLines({"ID,TEXT,N", "6,\"a\",1", newRow, "8,\"b\",2"}));
    EXPECT_EQ(report, "|<<" + oldRow + "\r\n||>>" + newRow + "\r\n");
}

TEST_F(Report, ARowWhoseQuotedValueHoldsCrLfStaysWhole)
{
    const std::string oldRow = "5,\"first line\r\nsecond line\",1";
    const std::string newRow = "5,\"first line\r\nsecond line\",2";
    EXPECT_EQ(Compare(CrLfLines({"ID,NOTE,N", oldRow, "6,\"x\",0"}), CrLfLines({"ID,NOTE,N", newRow, "6,\"x\",0"})),
              "|<<" + oldRow + "\r\n||>>" + newRow + "\r\n");
}

TEST_F(Report, ALastLineWithoutTerminatorIsWrittenAsItIs)
{
    EXPECT_EQ(Compare("a\r\nb", "a\r\nc"), "|<<b||>>c");
}

TEST_F(Report, AnEmptyPathComparesNothing)
{
    testenv::WriteFile(settings.m_strFile1Path, "a\r\n");
    settings.m_strFile2Path.clear();
    EXPECT_EQ(Run(0), "");
    EXPECT_FALSE(HasComparison(settings.m_context));
}

TEST_F(Report, ABinaryPairWritesNothingAndTheNextPairIsProbedAgain)
{
    EXPECT_EQ(Compare(std::string("a\0b\r\n", 5), "c\r\n", 0), "");
    EXPECT_EQ(settings.m_nFileKind, CompareSettings::kFileKindBinary);
    EXPECT_EQ(Compare("a\r\n", std::string("x\x01\r\n"), 0), "");
    // A later text pair through the same record is compared.
    EXPECT_EQ(Compare("a\r\n", "b\r\n"), "|<<a\r\n||>>b\r\n");
    EXPECT_EQ(settings.m_nFileKind, CompareSettings::kFileKindUnknown);
}

TEST_F(Report, AMissingDumpWritesNothingButCountsAsCompared)
{
    testenv::WriteFile(settings.m_strFile1Path, "a\r\n");
    settings.m_strFile2Path = (dir.path() / "missing.csv").string();
    EXPECT_EQ(Run(1), "");
    EXPECT_TRUE(HasComparison(settings.m_context));
    EXPECT_EQ(settings.m_context.result, nullptr);
}

// A NUL byte past the probed start: the engine's lines end at a NUL, so the
// row would lose its rest and its line end, and the next difference line would
// run on in the same merge-file line. Such a pair is not compared at all.
TEST_F(Report, ANulByteAfterTheProbedStartWritesNoCutLines)
{
    enginetest::CapturedHooks hooks;
    std::vector<std::string> rows = {"ID,NAME"};
    for (int i = 0; i < 40; ++i)
        rows.push_back(std::to_string(i) + ",\"" + std::string(40, 'r') + "\"");
    std::vector<std::string> changed = rows;
    rows.push_back(std::string("40,\"x\0y\"", 9));
    changed.push_back(std::string("40,\"z\0y\"", 9));
    rows.push_back("41,\"old\"");
    changed.push_back("41,\"new\"");
    EXPECT_EQ(Compare(CrLfLines(rows), CrLfLines(changed)), "");
    EXPECT_EQ(settings.m_context.result, nullptr);
}

TEST_F(Report, APathLongerThan1023CharactersIsRefusedGracefully)
{
    testenv::WriteFile(settings.m_strFile1Path, "a\r\n");
    settings.m_strFile2Path = "/tmp/" + std::string(1019, 'n');
    EXPECT_EQ(Run(1), "");
    EXPECT_EQ(settings.m_context.result, nullptr);
}

TEST_F(Report, TheNextComparisonReleasesThePreviousOne)
{
    Compare(CrLfLines(kOld), CrLfLines(kChanged));
    ASSERT_TRUE(HasComparison(settings.m_context));
    const std::int32_t blocksAfterOne = g_listPool.liveBlocks;
    for (int i = 0; i < 5; ++i)
        Compare(CrLfLines(kOld), CrLfLines(kChanged));
    EXPECT_EQ(g_listPool.liveBlocks, blocksAfterOne);
    ReleaseContext(settings.m_context);
    EXPECT_FALSE(HasComparison(settings.m_context));
    EXPECT_EQ(g_listPool.liveBlocks, 0);
}

TEST_F(Report, IgnoreOptionsComeFromTheRecord)
{
    settings.m_bIgnoreCase = 1;
    EXPECT_EQ(Compare("a,b\r\nc\r\n", "A,B\r\nd\r\n"), "|<<c\r\n||>>d\r\n");
    settings.m_bIgnoreCase = 0;
    settings.m_bIgnoreWhitespace = 1;
    EXPECT_EQ(Compare("a,b\r\n", "a, b\r\n"), "");
    EXPECT_EQ(g_comparisonOptions.ignoreWhitespace, 1);
    EXPECT_EQ(g_comparisonOptions.ignoreCase, 0);
    g_comparisonOptions = ComparisonOptions{};
}

TEST_F(Report, AFailedWriteIsReportedWithTheFileNameAndEndsTheComparison)
{
    enginetest::CapturedHooks hooks;
    int waits = 0;
    SetWaitCursorHooks([&] { ++waits; }, [&] { --waits; });
    std::vector<std::string> rows;
    for (int i = 0; i < 3000; ++i)
        rows.push_back(std::to_string(i) + ",\"" + std::string(40, 'r') + "\"");
    std::vector<std::string> changed = rows;
    for (auto& row : changed)
        row += ",x";  // every row differs: far more than the file's buffer
    testenv::WriteFile(settings.m_strFile1Path, CrLfLines(rows));
    testenv::WriteFile(settings.m_strFile2Path, CrLfLines(changed));
    {
        OutputFile full("/dev/full", OutputFile::Mode::Untranslated);
        EXPECT_EQ(CompareFiles(settings, full), 0);
    }
    SetWaitCursorHooks(nullptr, nullptr);
    ASSERT_EQ(hooks.errors.size(), 1u);
    EXPECT_EQ(hooks.errors[0].rfind("Tolvane and Merge|", 0), 0u) << hooks.errors[0];
    EXPECT_NE(hooks.errors[0].find("/dev/full"), std::string::npos) << hooks.errors[0];
    EXPECT_EQ(waits, 0) << "the wait cursor did not end";
}

TEST_F(Report, TheMessageQueueIsDrainedWhileLargeFilesAreCompared)
{
    int pumps = 0;
    SetPumpInterval(0);
    SetMessagePump([&] { ++pumps; });
    std::vector<std::string> rows;
    for (int i = 0; i < 20000; ++i)
        rows.push_back(std::to_string(i));
    std::vector<std::string> shuffled(rows.rbegin(), rows.rend());
    Compare(CrLfLines(rows), CrLfLines(shuffled));
    SetMessagePump(nullptr);
    SetPumpInterval(5);
    // Loading alone passes 40,000 drain points; the queue is drained at every 64th.
    EXPECT_GT(pumps, 40000 / 64);
}

} // namespace
