#include "textcompare/CompareFiles.h"
#include "textcompare/OutputFileSink.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "common/UiHooks.h"

namespace {

using enginetest::CrLfLines;
using enginetest::StringSink;

// Two dumps in a temporary directory, compared with the options a compare run uses.
class Report : public ::testing::Test {
protected:
    std::string Compare(const std::string& old, const std::string& updated)
    {
        const std::string report = files.Compare(old, updated, options);
        EXPECT_EQ(files.outcome.status, CompareStatus::Compared) << files.outcome.message;
        return report;
    }

    void SetMarkers(const std::string& h1, const std::string& f1, const std::string& h2, const std::string& f2)
    {
        options.file1SectionHeader = h1;
        options.file1SectionFooter = f1;
        options.file2SectionHeader = h2;
        options.file2SectionFooter = f2;
    }

    enginetest::DumpPair files;
    CompareOptions options;  // common sections off, as the compare run has them
};

const std::vector<std::string> kOld = {"ID,NAME", "1,\"one\"", "2,\"two\"", "3,\"three\""};
const std::vector<std::string> kChanged = {"ID,NAME", "1,\"one\"", "2,\"TWO\"", "3,\"three\""};

TEST_F(Report, ARowChangedAmongUnchangedOnesGivesItsOldThenItsNewLine)
{
    EXPECT_EQ(Compare(CrLfLines(kOld), CrLfLines(kChanged)), "|<<2,\"two\"\r\n||>>2,\"TWO\"\r\n");
    EXPECT_EQ(files.outcome.removedLines, 1);
    EXPECT_EQ(files.outcome.addedLines, 1);
}

TEST_F(Report, EqualDumpsAppendNothing)
{
    EXPECT_EQ(Compare(CrLfLines(kOld), CrLfLines(kOld)), "");
    EXPECT_EQ(files.outcome.removedLines + files.outcome.addedLines, 0);
}

TEST_F(Report, CommonLinesAreWrittenWithoutPrefixWhenAsked)
{
    options.writeCommonSections = true;
    EXPECT_EQ(Compare(CrLfLines(kOld), CrLfLines(kChanged)),
              "ID,NAME\r\n1,\"one\"\r\n|<<2,\"two\"\r\n||>>2,\"TWO\"\r\n3,\"three\"\r\n");
}

TEST_F(Report, MovedRowsAreNotReportedAndCountAsCommonLines)
{
    const std::vector<std::string> moved = {"ID,NAME", "3,\"three\"", "1,\"one\"", "2,\"TWO\""};
    EXPECT_EQ(Compare(CrLfLines(kOld), CrLfLines(moved)), "|<<2,\"two\"\r\n||>>2,\"TWO\"\r\n");
    options.writeCommonSections = true;
    EXPECT_EQ(Compare(CrLfLines(kOld), CrLfLines(moved)),
              "ID,NAME\r\n3,\"three\"\r\n1,\"one\"\r\n|<<2,\"two\"\r\n||>>2,\"TWO\"\r\n");
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
    // Results in: X removed, Y added, A moved (not reported), Z removed, B-C common.
    SetMarkers("H1", "F1", "H2", "F2");
    EXPECT_EQ(Compare(CrLfLines({"X", "A", "Z", "B", "C"}), CrLfLines({"Y", "B", "C", "A"})),
              "H1\r\n|<<X\r\nF1\r\nH2\r\n||>>Y\r\n|<<Z\r\nF2\r\n");
}

// With a side's line prefix empty only its header tells its lines from the
// other side's: the header comes again wherever a run goes back to that side,
// after the other side's footer, so that no removed row reads as a new one.
struct SideChangeCase {
    const char* name;
    std::string p1, p2;  // line prefixes
    std::string h1, f1, h2, f2;
    std::vector<std::string> old, updated;
    std::string report;
};

TEST_F(Report, ASideWithoutLinePrefixHasItsHeaderWheneverTheRunReturnsToIt)
{
    // X removed, Y added, A moved (not reported), Z removed, B-C common: one run.
    const std::vector<std::string> crossing1 = {"X", "A", "Z", "B", "C"};
    const std::vector<std::string> crossing2 = {"Y", "B", "C", "A"};
    const std::vector<SideChangeCase> cases = {
        {"crossing blocks, no prefixes, all four markers", "", "", "H1", "F1", "H2", "F2", crossing1, crossing2,
         "H1\r\nX\r\nF1\r\nH2\r\nY\r\nF2\r\nH1\r\nZ\r\nF1\r\n"},
        {"crossing blocks, no prefixes, headers only", "", "", "H1", "", "H2", "", crossing1, crossing2,
         "H1\r\nX\r\nH2\r\nY\r\nH1\r\nZ\r\n"},
        {"crossing blocks, no prefixes, no file-1 footer", "", "", "H1", "", "H2", "F2", crossing1, crossing2,
         "H1\r\nX\r\nH2\r\nY\r\nF2\r\nH1\r\nZ\r\n"},
        {"crossing blocks, no prefixes, no file-2 footer", "", "", "H1", "F1", "H2", "", crossing1, crossing2,
         "H1\r\nX\r\nF1\r\nH2\r\nY\r\nH1\r\nZ\r\nF1\r\n"},
        {"crossing blocks, only the file-1 prefix empty", "", "||>>", "H1", "F1", "H2", "F2", crossing1, crossing2,
         "H1\r\nX\r\nF1\r\nH2\r\n||>>Y\r\nF2\r\nH1\r\nZ\r\nF1\r\n"},
        {"crossing blocks, only the file-2 prefix empty: the prefixed side needs no header again", "|<<", "", "H1",
         "F1", "H2", "F2", crossing1, crossing2, "H1\r\n|<<X\r\nF1\r\nH2\r\nY\r\n|<<Z\r\nF2\r\n"},
        {"crossing blocks, both prefixes: each header once", "|<<", "||>>", "H1", "F1", "H2", "F2", crossing1,
         crossing2, "H1\r\n|<<X\r\nF1\r\nH2\r\n||>>Y\r\n|<<Z\r\nF2\r\n"},
        {"repeated rows crossing: A removed, D added, one of two B removed", "", "", "H1", "F1", "H2", "F2",
         {"A", "B", "B", "D", "C"}, {"D", "D", "C", "B"}, "H1\r\nA\r\nF1\r\nH2\r\nD\r\nF2\r\nH1\r\nB\r\nF1\r\n"},
        {"a moved row beside a changed one", "", "", "H1", "F1", "H2", "F2", {"A", "B", "C", "D"},
         {"D", "A", "X", "C"}, "H1\r\nB\r\nF1\r\nH2\r\nX\r\nF2\r\n"},
        {"moved rows between two runs: each run opens with its header", "", "", "H1", "F1", "H2", "F2",
         {"A", "B", "D", "C", "F", "E"}, {"G", "C", "F", "B"},
         "H1\r\nA\r\nF1\r\nH2\r\nG\r\nF2\r\nH1\r\nD\r\nF1\r\nH1\r\nE\r\nF1\r\n"},
        {"the same with both prefixes", "|<<", "||>>", "H1", "F1", "H2", "F2", {"A", "B", "D", "C", "F", "E"},
         {"G", "C", "F", "B"}, "H1\r\n|<<A\r\nF1\r\nH2\r\n||>>G\r\n|<<D\r\nF2\r\nH1\r\n|<<E\r\nF1\r\n"},
    };
    for (const auto& c : cases) {
        options.file1LinePrefix = c.p1;
        options.file2LinePrefix = c.p2;
        SetMarkers(c.h1, c.f1, c.h2, c.f2);
        EXPECT_EQ(Compare(CrLfLines(c.old), CrLfLines(c.updated)), c.report) << c.name;
    }
}

TEST_F(Report, EmptyPrefixesWriteTheDumpLinesThemselves)
{
    options.file1LinePrefix.clear();
    options.file2LinePrefix.clear();
    EXPECT_EQ(Compare(CrLfLines(kOld), CrLfLines(kChanged)), "2,\"two\"\r\n2,\"TWO\"\r\n");
}

struct NewlineCase {
    const char* name;
    std::string old;
    std::string updated;
    std::string report;
};

TEST_F(Report, TheFirstLineBreakOfTheOldDumpDecidesTheMarkersNewline)
{
    const std::vector<NewlineCase> cases = {
        {"bare LF", "a\nb\nc\n", "a\nB\nc\n", "H1\n|<<b\nF1\nH2\n||>>B\nF2\n"},
        {"CR LF first, then a bare LF", "a\r\nb\n", "a\r\nB\n", "H1\r\n|<<b\nF1\r\nH2\r\n||>>B\nF2\r\n"},
        {"no LF at all", "abc", "abd", "H1\r\n|<<abcF1\r\nH2\r\n||>>abdF2\r\n"},
        {"LF as the first byte", "\nabc\n", "\nabd\n", "H1\r\n|<<abc\nF1\r\nH2\r\n||>>abd\nF2\r\n"},
        {"the first LF beyond 1,024 bytes", std::string(1030, 'a') + "\nb\n", std::string(1030, 'a') + "\nB\n",
         "H1\r\n|<<b\nF1\r\nH2\r\n||>>B\nF2\r\n"},
    };
    SetMarkers("H1", "F1", "H2", "F2");
    for (const auto& c : cases)
        EXPECT_EQ(Compare(c.old, c.updated), c.report) << c.name;
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

// A dump is text the program wrote itself: control characters and NUL bytes
// in values are data, compared and written whole like every other byte.
struct ControlByteCase {
    const char* name;
    std::string oldRow;
    std::string newRow;
};

TEST_F(Report, RowsHoldingControlBytesAreComparedWhole)
{
    const std::vector<ControlByteCase> cases = {
        {"a bell byte", "1,\"bell\x07here\"", "1,\"bell\x07there\""},
        {"a NUL byte", std::string("1,\"x\0y\"", 7), std::string("1,\"x\0z\"", 7)},
        {"a NUL byte where only the bytes after it differ", std::string("1,\"ab\0c\"", 8),
         std::string("1,\"ab\0d\"", 8)},
        {"bytes 0x01 to 0x08", "2,\"\x01\x02\x03\x04\x05\x06\x07\x08\"", "2,\"\x08\x07\""},
    };
    for (const auto& c : cases) {
        const std::string report =
            Compare(CrLfLines({"ID,V", c.oldRow, "3,\"old\""}), CrLfLines({"ID,V", c.newRow, "3,\"old\""}));
        EXPECT_EQ(report, "|<<" + c.oldRow + "\r\n||>>" + c.newRow + "\r\n") << c.name;
    }
    // The table of the report that found the fault: nothing is skipped.
    EXPECT_EQ(Compare(CrLfLines({"id,v", "1,\"bell\x07here\"", "2,\"old\""}), CrLfLines({"id,v", "2,\"new\""})),
              "|<<1,\"bell\x07here\"\r\n|<<2,\"old\"\r\n||>>2,\"new\"\r\n");
}

TEST_F(Report, AMissingDumpIsReportedWithItsName)
{
    testenv::WriteFile(files.Path1(), "a\r\n");
    StringSink sink;
    const std::string missing = (files.Dir().path() / "missing.csv").string();
    for (const auto& [p1, p2] : {std::pair{files.Path1(), missing}, std::pair{missing, files.Path1()}}) {
        const CompareOutcome outcome = CompareFiles(p1, p2, options, sink);
        EXPECT_EQ(outcome.status, CompareStatus::CannotRead);
        EXPECT_NE(outcome.message.find(missing), std::string::npos) << outcome.message;
    }
    // A directory opens, but it cannot be read as a dump.
    const CompareOutcome outcome = CompareFiles(files.Path1(), files.Dir().str(), options, sink);
    EXPECT_EQ(outcome.status, CompareStatus::CannotRead);
    EXPECT_NE(outcome.message.find(files.Dir().str()), std::string::npos) << outcome.message;
    EXPECT_EQ(sink.text, "");
}

TEST_F(Report, PathsOfAnyLengthAreCompared)
{
    // Nested folders of 200 characters each, for a path beyond 1,023 characters.
    std::filesystem::path dir = files.Dir().path();
    for (int i = 0; i < 6; ++i)
        dir /= std::string(200, static_cast<char>('a' + i));
    std::filesystem::create_directories(dir);
    const std::string p1 = (dir / "old.csv").string();
    const std::string p2 = (dir / "new.csv").string();
    ASSERT_GT(p1.size(), 1023u);
    testenv::WriteFile(p1, "a\r\nb\r\n");
    testenv::WriteFile(p2, "a\r\nc\r\n");
    StringSink sink;
    const CompareOutcome outcome = CompareFiles(p1, p2, options, sink);
    EXPECT_EQ(outcome.status, CompareStatus::Compared) << outcome.message;
    EXPECT_EQ(sink.text, "|<<b\r\n||>>c\r\n");
}

TEST_F(Report, TheOptionsComeFromTheSettingsRecord)
{
    CompareSettings settings;
    settings.m_bIgnoreCase = 1;
    settings.m_bWriteCommonSections = 0;
    settings.m_strFile1SectionHeader = "H1";
    settings.m_strFile2SectionFooter = "F2";
    options = CompareOptionsOf(settings);
    EXPECT_EQ(Compare("a,b\r\nc\r\n", "A,B\r\nd\r\n"), "H1\r\n|<<c\r\n||>>d\r\nF2\r\n");
    settings.m_bIgnoreCase = 0;
    settings.m_bIgnoreWhitespace = 1;
    settings.m_strFile1LinePrefix = "<";
    options = CompareOptionsOf(settings);
    EXPECT_EQ(Compare("a,b\r\nx\r\n", "a, b\r\ny\r\n"), "H1\r\n<x\r\n||>>y\r\nF2\r\n");
    settings.m_bWriteCommonSections = 1;
    EXPECT_TRUE(CompareOptionsOf(settings).writeCommonSections);
}

TEST_F(Report, AFailedWriteEndsTheComparisonAndNamesTheFile)
{
    std::vector<std::string> rows;
    for (int i = 0; i < 3000; ++i)
        rows.push_back(std::to_string(i) + ",\"" + std::string(40, 'r') + "\"");
    std::vector<std::string> changed = rows;
    for (auto& row : changed)
        row += ",x";  // every row differs: far more than the file's buffer
    testenv::WriteFile(files.Path1(), CrLfLines(rows));
    testenv::WriteFile(files.Path2(), CrLfLines(changed));
    OutputFile full("/dev/full", OutputFile::Mode::Untranslated);
    OutputFileSink sink(full);
    const CompareOutcome outcome = CompareFiles(files.Path1(), files.Path2(), options, sink);
    EXPECT_EQ(outcome.status, CompareStatus::WriteFailed);
    EXPECT_NE(outcome.message.find(files.Path1()), std::string::npos) << outcome.message;
    EXPECT_NE(sink.Error().find("/dev/full"), std::string::npos) << sink.Error();
    EXPECT_FALSE(sink.Write("more"));  // the sink stays failed
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

// The stop flag is looked at wherever the queue is drained: a flag set while
// the queue is drained for the n-th time (loading, matching or writing the
// report) ends the comparison there, as cancelled, without another drain.
TEST_F(Report, AStopFlagEndsTheComparisonAtTheNextDrainPoint)
{
    std::vector<std::string> rows;
    for (int i = 0; i < 20000; ++i)
        rows.push_back(std::to_string(i * 7 % 20000) + (i % 3 ? "" : ",x"));
    std::vector<std::string> changed(rows.rbegin(), rows.rend());
    for (std::size_t i = 0; i < changed.size(); i += 2)
        changed[i] += ",y";
    testenv::WriteFile(files.Path1(), CrLfLines(rows));
    testenv::WriteFile(files.Path2(), CrLfLines(changed));
    std::atomic<bool> stop{false};
    int pumps = 0;
    int stopAt = 0;  // 0: never
    SetPumpInterval(0);
    SetMessagePump([&] {
        if (++pumps == stopAt)
            stop = true;
    });
    options.stop = &stop;
    StringSink whole;
    ASSERT_EQ(CompareFiles(files.Path1(), files.Path2(), options, whole).status, CompareStatus::Compared);
    const int all = pumps;
    for (const int at : {1, all / 10, all / 3, all / 2, all * 9 / 10, all - 1}) {
        pumps = 0;
        stopAt = at;
        stop = false;
        StringSink sink;
        const CompareOutcome outcome = CompareFiles(files.Path1(), files.Path2(), options, sink);
        EXPECT_EQ(outcome.status, CompareStatus::Cancelled) << "stopped at drain " << at << " of " << all;
        EXPECT_EQ(outcome.message, "");
        EXPECT_EQ(pumps, at);
        EXPECT_EQ(whole.text.compare(0, sink.text.size(), sink.text), 0) << "a report begun is the report's start";
    }
    SetMessagePump(nullptr);
    SetPumpInterval(5);
    stop = true;
    StringSink none;
    EXPECT_EQ(CompareFiles(files.Path1(), files.Path2(), options, none).status, CompareStatus::Cancelled);
    EXPECT_EQ(none.text, "");
}


} // namespace
