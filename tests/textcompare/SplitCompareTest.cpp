// Comparing under a memory budget: a pair that does not fit is split into
// bucket pairs, and the report holds the same rows as the whole comparison's,
// the same bytes each time, and nothing of the buckets is left behind.
#include "textcompare/SplitCompare.h"
#include "textcompare/SplittingDump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "RandomPairs.h"

namespace {

using enginetest::Fold;
using enginetest::Join;
using enginetest::Lines;
using enginetest::OptionsCase;
using enginetest::StringSink;

// A budget that the files of these tests exceed many times over: a few
// kilobytes a bucket pair.
constexpr std::uint64_t kSmallBudget = 48 << 10;

struct Result {
    std::string report;
    CompareOutcome outcome;
    SplitFigures figures;
};

Result CompareWithin(const enginetest::DumpPair& files, const CompareOptions& options, const SplitSettings& split)
{
    Result run;
    StringSink sink;
    run.outcome = CompareFilesWithin(files.Path1(), files.Path2(), options, split, sink, &run.figures);
    run.report = sink.text;
    return run;
}

Result CompareWhole(const enginetest::DumpPair& files, const CompareOptions& options)
{
    Result run;
    StringSink sink;
    run.outcome = CompareFiles(files.Path1(), files.Path2(), options, sink);
    run.report = sink.text;
    return run;
}

// The rows of a report with the default prefixes, each with its side, folded
// as the options compare them, sorted. A row runs to the next prefix, which
// the rows of these tests never hold: a line feed inside quotes goes on with
// the row, and a last row without a terminator ends all the same.
Lines ReportRows(const std::string& report, const CompareOptions& options)
{
    Lines rows;
    std::size_t at = 0;
    while (at < report.size()) {
        std::string side;
        if (report.compare(at, 4, "||>>") == 0)
            side = "added ";
        else if (report.compare(at, 3, "|<<") == 0)
            side = "removed ";
        else
            return {"not a report row at " + std::to_string(at) + ": " + report.substr(at, 40)};
        at += side == "added " ? 4 : 3;
        const std::size_t end = std::min(report.find("|<<", at), report.find("||>>", at));
        const std::size_t length = end == std::string::npos ? report.size() - at : end - at;
        rows.push_back(side + Fold(report.substr(at, length), options.ignoreWhitespace, options.ignoreCase));
        at += length;
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

// Rows of a keyed table: the key in column 0, then values with quoted commas,
// doubled quotes and line feeds.
class RandomTables {
public:
    explicit RandomTables(unsigned seed) : m_rng(seed) {}

    std::size_t Pick(std::size_t n) { return m_rng() % n; }
    std::mt19937& Rng() { return m_rng; }

    std::string Value()
    {
        static const char* const kValues[] = {"x", "\"a,b\"", "\"two\nlines\"", "\"say \"\"hi\"\"\"", "", "y z", "Q"};
        return kValues[Pick(7)];
    }

    std::string Row(const std::string& key) { return key + "," + Value() + "," + Value() + "\r\n"; }

    // The key as another writer may spell it: other case, other white space.
    std::string Respelled(std::string key)
    {
        key[0] = key[0] == 'k' ? 'K' : 'k';
        return Pick(2) ? " " + key + "\t" : key;
    }

    // A table and the same table later: rows deleted, changed, rewritten
    // with a respelled key, copied, added, and both in any order.
    void Pair(std::size_t rows, Lines& old, Lines& updated)
    {
        old.clear();
        updated.clear();
        for (std::size_t k = 0; k < rows; ++k) {
            const std::string key = "k" + std::to_string(k);
            const std::string row = Row(key);
            old.push_back(row);
            switch (Pick(12)) {
            case 0:
                break;  // deleted
            case 1:
                updated.push_back(Row(key));  // changed, most likely
                break;
            case 2:
                updated.push_back(Respelled(key) + row.substr(key.size()));
                break;
            case 3:
                updated.push_back(row);  // a copy too many
                updated.push_back(row);
                break;
            default:
                updated.push_back(row);
            }
        }
        for (std::size_t k = 0; k < rows / 10; ++k)
            updated.push_back(Row("new" + std::to_string(k)));
        if (Pick(2))
            std::shuffle(old.begin(), old.end(), m_rng);
        if (Pick(3))
            std::shuffle(updated.begin(), updated.end(), m_rng);
    }

private:
    std::mt19937 m_rng;
};

CompareOptions OptionsOf(const OptionsCase& c)
{
    CompareOptions options;
    options.ignoreWhitespace = c.ignoreWhitespace;
    options.ignoreCase = c.ignoreCase;
    return options;
}

// The whole comparison and the split one agree on a pair of tables (a row
// each), compared under a sixth of the memory they need whole unless `split`
// says: some seven bucket pairs.
void ExpectSameRows(enginetest::DumpPair& files, const Lines& old, const Lines& updated,
                    const CompareOptions& options, SplitSettings split, const std::string& where)
{
    testenv::WriteFile(files.Path1(), Join(old));
    testenv::WriteFile(files.Path2(), Join(updated));
    if (split.memoryBudget == 0)
        split.memoryBudget = ComparisonMemory(Join(old).size(), old.size(), Join(updated).size(), updated.size()) / 6;
    const Result whole = CompareWhole(files, options);
    const Result parts = CompareWithin(files, options, split);
    ASSERT_EQ(whole.outcome.status, CompareStatus::Compared) << where;
    ASSERT_EQ(parts.outcome.status, CompareStatus::Compared) << where << ": " << parts.outcome.message;
    EXPECT_GE(parts.figures.buckets, 4u) << where;
    EXPECT_EQ(ReportRows(parts.report, options), ReportRows(whole.report, options)) << where;
    EXPECT_EQ(parts.outcome.removedLines, whole.outcome.removedLines) << where;
    EXPECT_EQ(parts.outcome.addedLines, whole.outcome.addedLines) << where;
}

class SplitUnderEachOption : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(SplitUnderEachOption, KeyedTablesGiveTheRowsOfTheWholeComparison)
{
    const CompareOptions options = OptionsOf(GetParam());
    SplitSettings split;
    split.threads = 2;
    split.keyColumns = {0};
    RandomTables random(17 + 2 * GetParam().ignoreWhitespace + GetParam().ignoreCase);
    enginetest::DumpPair files;
    Lines old;
    Lines updated;
    for (int i = 0; i < 8 && !HasFailure(); ++i) {
        random.Pair(200 + random.Pick(400), old, updated);
        ExpectSameRows(files, old, updated, options, split, "pair " + std::to_string(i));
    }
}

TEST_P(SplitUnderEachOption, KeylessTablesWithRepeatedRowsGiveTheRowsOfTheWholeComparison)
{
    const CompareOptions options = OptionsOf(GetParam());
    SplitSettings split;
    split.threads = 3;
    // Under Ignore Whitespace an unpaired blank line may go unreported,
    // depending on its neighbours, which a split changes: no blank lines.
    enginetest::RandomPairs random(5 + 2 * GetParam().ignoreWhitespace + GetParam().ignoreCase, false);
    enginetest::DumpPair files;
    for (int i = 0; i < 8 && !HasFailure(); ++i) {
        Lines old;
        Lines updated;
        for (int part = 0; part < 12; ++part) {
            const Lines f1 = random.File();
            const Lines f2 = random.Edited(f1);
            old.insert(old.end(), f1.begin(), f1.end());
            updated.insert(updated.end(), f2.begin(), f2.end());
        }
        ExpectSameRows(files, old, updated, options, split,
                       ::testing::PrintToString(old) + " / " + ::testing::PrintToString(updated));
    }
}

// Names of the files in the pair's folder besides the two dumps.
std::vector<std::string> LeftBehind(const enginetest::DumpPair& files)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(files.Dir().path())) {
        const std::string name = entry.path().filename().string();
        if (name != "old.csv" && name != "new.csv")
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Writes `rows` through a SplittingDump at `path` under `budget` (0: whole)
// and returns what its buckets hold (none when it stayed whole).
std::vector<BucketSize> DumpRows(const std::string& path, const Lines& rows, std::uint64_t budget,
                                 const CompareOptions& options)
{
    DumpSplitSettings settings;
    settings.memoryBudget = budget;
    settings.rules = LineRules{options.ignoreWhitespace, options.ignoreCase};
    settings.keyColumns = {0};
    SplittingDump dump(path, settings);
    for (const std::string& row : rows)
        dump.WriteRow(row);
    dump.Close();
    return dump.Buckets();
}

// A dump that splits itself while it is written puts each row into the
// bucket that splitting the whole dump would, so that the buckets pair with
// those of the other dump, whether that one split itself too or was split
// after it was written.
TEST_P(SplitUnderEachOption, DumpsSplitWhileWrittenGiveTheRowsOfTheWholeComparison)
{
    const CompareOptions options = OptionsOf(GetParam());
    RandomTables random(41 + 2 * GetParam().ignoreWhitespace + GetParam().ignoreCase);
    const struct {
        bool oldSplits, newSplits;
    } kCases[] = {{true, true}, {true, false}, {false, true}};
    for (const auto& c : kCases) {
        const std::string where = std::string("old ") + (c.oldSplits ? "split" : "whole") + ", new " +
                                  (c.newSplits ? "split" : "whole");
        Lines old;
        Lines updated;
        random.Pair(300 + random.Pick(300), old, updated);
        enginetest::DumpPair reference;
        testenv::WriteFile(reference.Path1(), Join(old));
        testenv::WriteFile(reference.Path2(), Join(updated));
        const Result whole = CompareWhole(reference, options);

        // Each dump on its own passes the budget a third of the way in.
        const std::uint64_t budget = ComparisonMemory(Join(old).size(), old.size(), 0, 0) / 3;
        enginetest::DumpPair files;
        SplitSettings split;
        split.memoryBudget = budget;
        split.threads = 2;
        split.keyColumns = {0};
        split.dumpedBuckets1 = DumpRows(files.Path1(), old, c.oldSplits ? budget : 0, options);
        split.dumpedBuckets2 = DumpRows(files.Path2(), updated, c.newSplits ? budget : 0, options);
        ASSERT_EQ(split.dumpedBuckets1.size(), c.oldSplits ? DumpBucketCount(budget) : 0u) << where;
        ASSERT_EQ(split.dumpedBuckets2.size(), c.newSplits ? DumpBucketCount(budget) : 0u) << where;
        // A dump in buckets is nowhere else.
        EXPECT_EQ(std::filesystem::exists(files.Path1()), !c.oldSplits) << where;
        EXPECT_EQ(std::filesystem::exists(files.Path2()), !c.newSplits) << where;

        const Result parts = CompareWithin(files, options, split);
        ASSERT_EQ(parts.outcome.status, CompareStatus::Compared) << where << ": " << parts.outcome.message;
        EXPECT_GE(parts.figures.buckets, DumpBucketCount(budget)) << where;
        EXPECT_EQ(ReportRows(parts.report, options), ReportRows(whole.report, options)) << where;
        EXPECT_EQ(parts.outcome.removedLines, whole.outcome.removedLines) << where;
        EXPECT_EQ(parts.outcome.addedLines, whole.outcome.addedLines) << where;
        EXPECT_EQ(LeftBehind(files), std::vector<std::string>()) << where;
    }
}

// Under a large budget the rows a dump moves into its buckets when it passes
// the budget are gigabytes: a stop ends that move, and the dump.
TEST(SplittingDumpTest, AStopEndsTheMoveIntoTheBuckets)
{
    enginetest::DumpPair files;
    std::atomic<bool> stop{true};
    DumpSplitSettings settings;
    settings.memoryBudget = 64 << 10;
    settings.keyColumns = {0};
    settings.stop = &stop;
    SplittingDump dump(files.Path1(), settings);
    bool stopped = false;
    std::size_t rows = 0;
    try {
        for (; rows < 100000; ++rows)
            dump.WriteRow("k" + std::to_string(rows) + ",some value\r\n");
    } catch (const DumpSplitStopped&) {
        stopped = true;
    }
    EXPECT_TRUE(stopped);
    EXPECT_LT(rows, 10000u);
}

INSTANTIATE_TEST_SUITE_P(EachComparisonOption, SplitUnderEachOption, enginetest::EachOption(),
                         enginetest::OptionsName);

TEST(SplitCompare, SkewedKeyIsSplitAgainByWholeRows)
{
    // Nine rows in ten share one key value.
    RandomTables random(3);
    Lines old;
    Lines updated;
    for (int i = 0; i < 2000; ++i) {
        const std::string key = i % 10 ? "same" : "k" + std::to_string(i);
        const std::string row = key + "," + std::to_string(i) + "," + random.Value() + "\r\n";
        old.push_back(row);
        if (random.Pick(20))
            updated.push_back(random.Pick(20) ? row : key + ",changed" + std::to_string(i) + "\r\n");
    }
    std::shuffle(updated.begin(), updated.end(), random.Rng());
    enginetest::DumpPair files;
    SplitSettings split;
    split.threads = 2;
    split.keyColumns = {0};
    split.keepBuckets = true;
    ExpectSameRows(files, old, updated, CompareOptions(), split, "skewed");
    // The buckets of a bucket split again carry a second number.
    const std::vector<std::string> kept = LeftBehind(files);
    EXPECT_TRUE(std::any_of(kept.begin(), kept.end(), [](const std::string& name) {
        return std::count(name.begin(), name.end(), '.') == 3;  // old.csv.part5.3
    })) << ::testing::PrintToString(kept);
    EXPECT_TRUE(std::none_of(kept.begin(), kept.end(),
                             [](const std::string& name) { return name.find(".report") != std::string::npos; }));
}

TEST(SplitCompare, LastRowWithoutTerminatorPairsAsInTheWholeComparison)
{
    enginetest::DumpPair files;
    SplitSettings split;
    split.keyColumns = {0};
    Lines old;
    Lines updated;
    for (int i = 0; i < 300; ++i) {
        old.push_back(std::to_string(i) + ",v\r\n");
        updated.push_back(std::to_string(299 - i) + ",v\r\n");
    }
    // Without its terminator a row is not the row with one: "299,v" is
    // removed and "299,v\r\n" added, and "42,v" is added beside "42,v\r\n".
    old.back() = "299,v";
    updated.push_back("42,v");
    ExpectSameRows(files, old, updated, CompareOptions(), split, "unterminated");
    EXPECT_EQ(CompareWhole(files, CompareOptions()).outcome.addedLines, 2);
}

// Options with every report text set, and a newline for the report's own lines
// that only the start of file 1 tells.
CompareOptions MarkedOptions()
{
    CompareOptions options;
    options.file1SectionHeader = "<old>";
    options.file1SectionFooter = "</old>";
    options.file2SectionHeader = "<new>";
    options.file2SectionFooter = "</new>";
    return options;
}

TEST(SplitCompare, PairThatFitsGivesTheWholeComparisonsBytes)
{
    enginetest::DumpPair files;
    RandomTables random(11);
    Lines old;
    Lines updated;
    random.Pair(300, old, updated);
    old.front() = "k0,first\n";  // the report's newline is LF
    testenv::WriteFile(files.Path1(), Join(old));
    testenv::WriteFile(files.Path2(), Join(updated));
    for (const bool common : {false, true}) {
        CompareOptions options = MarkedOptions();
        options.writeCommonSections = common;
        const Result whole = CompareWhole(files, options);
        for (const std::uint64_t budget : {std::uint64_t(0), std::uint64_t(1) << 30}) {
            SplitSettings split;
            split.memoryBudget = budget;
            split.threads = 2;
            split.keyColumns = {0};
            std::uint64_t progressCalls = 0;
            split.progress = [&](SplitPhase phase, std::uint64_t, std::uint64_t total) {
                EXPECT_EQ(phase, SplitPhase::Comparing);
                EXPECT_EQ(total, 1u);
                ++progressCalls;
                return true;
            };
            const Result parts = CompareWithin(files, options, split);
            EXPECT_EQ(parts.outcome.status, CompareStatus::Compared);
            EXPECT_EQ(parts.report, whole.report) << "budget " << budget;
            EXPECT_EQ(parts.outcome.removedLines, whole.outcome.removedLines);
            EXPECT_EQ(parts.outcome.addedLines, whole.outcome.addedLines);
            EXPECT_EQ(parts.figures.buckets, 0u);
            EXPECT_GE(progressCalls, 1u);
        }
    }
    EXPECT_EQ(LeftBehind(files), std::vector<std::string>());
}

TEST(SplitCompare, SameBytesEachRunAndWithAnyNumberOfThreads)
{
    enginetest::DumpPair files;
    RandomTables random(23);
    Lines old;
    Lines updated;
    random.Pair(600, old, updated);
    old.front() = "k0,first\r\n";
    old[1] = "k1,second\n";  // a bucket of file 1 may begin with an LF row; the report's newline stays CR LF
    testenv::WriteFile(files.Path1(), Join(old));
    testenv::WriteFile(files.Path2(), Join(updated));
    const CompareOptions options = MarkedOptions();
    SplitSettings split;
    split.memoryBudget = kSmallBudget;
    split.keyColumns = {0};
    split.threads = 1;
    const Result first = CompareWithin(files, options, split);
    ASSERT_EQ(first.outcome.status, CompareStatus::Compared) << first.outcome.message;
    EXPECT_GE(first.figures.buckets, 4u);
    for (const std::string marker : {"<old>", "</old>", "<new>", "</new>"}) {
        ASSERT_NE(first.report.find(marker), std::string::npos) << marker;
        for (std::size_t at = first.report.find(marker); at != std::string::npos;
             at = first.report.find(marker, at + 1)) {
            ASSERT_EQ(first.report.compare(at + marker.size(), 2, "\r\n"), 0) << marker << " at " << at;
        }
    }
    for (const unsigned threads : {1u, 2u, 5u}) {
        split.threads = threads;
        const Result again = CompareWithin(files, options, split);
        EXPECT_EQ(again.report, first.report) << threads << " threads";
        EXPECT_EQ(again.figures.buckets, first.figures.buckets);
    }
    EXPECT_EQ(LeftBehind(files), std::vector<std::string>());
}

TEST(SplitCompare, FailuresNameTheDumps)
{
    enginetest::DumpPair files;
    RandomTables random(31);
    Lines old;
    Lines updated;
    random.Pair(400, old, updated);
    testenv::WriteFile(files.Path1(), Join(old));
    testenv::WriteFile(files.Path2(), Join(updated));
    SplitSettings split;
    split.memoryBudget = kSmallBudget;
    split.threads = 2;

    class FailingSink : public ReportSink {
    public:
        bool Write(std::string_view) override { return false; }
    } failing;
    const CompareOutcome unwritten = CompareFilesWithin(files.Path1(), files.Path2(), CompareOptions(), split, failing);
    EXPECT_EQ(unwritten.status, CompareStatus::WriteFailed);
    EXPECT_EQ(unwritten.message,
              "Cannot write the differences between the files " + files.Path1() + " and " + files.Path2() + ".");

    // Bucket files that cannot be created: their folder is not there.
    split.bucketBase1 = (files.Dir().path() / "gone" / "old").string();
    StringSink sink;
    const CompareOutcome unsplit = CompareFilesWithin(files.Path1(), files.Path2(), CompareOptions(), split, sink);
    EXPECT_EQ(unsplit.status, CompareStatus::WriteFailed);
    EXPECT_NE(unsplit.message.find(files.Path1()), std::string::npos) << unsplit.message;
    EXPECT_EQ(LeftBehind(files), std::vector<std::string>());
}

// Two dumps of `rows` rows of 50 bytes, the second in another order and with a
// row added. 600,000 rows (30 MB a dump) are enough for the splitting to last
// a few progress calls, and a whole comparison needs some 110 MB for them.
void WriteLargePair(const enginetest::DumpPair& files, long long rows)
{
    std::string old;
    old.reserve(static_cast<std::size_t>(rows) * 52);
    for (long long i = 0; i < rows; ++i) {
        old += std::to_string(i * 7919 % 600011);
        old += ",\"";
        old.append(40, char('a' + i % 26));
        old += "\"\r\n";
    }
    const std::size_t third = old.find('\n', old.size() / 3) + 1;
    testenv::WriteFile(files.Path1(), old);
    testenv::WriteFile(files.Path2(), old.substr(third) + old.substr(0, third) + "changed\r\n");
}

// A figure of this process from /proc/self/status, in bytes.
std::uint64_t ProcessFigure(const std::string& name)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(name + ":", 0) == 0)
            return std::stoull(line.substr(name.size() + 1)) * 1024;
    }
    return 0;
}

TEST(SplitCompare, StaysWithinTheBudget)
{
    enginetest::DumpPair files;
    WriteLargePair(files, 600000);
    SplitSettings split;
    split.memoryBudget = 16 << 20;
    split.threads = 4;
    split.keyColumns = {0};
    // From here on the peak is what the comparison adds.
    std::ofstream("/proc/self/clear_refs") << "5";
    const std::uint64_t before = ProcessFigure("VmRSS");
    ASSERT_LE(ProcessFigure("VmHWM"), before + (1 << 20)) << "the peak was not reset";
    StringSink sink;
    const CompareOutcome outcome = CompareFilesWithin(files.Path1(), files.Path2(), CompareOptions(), split, sink);
    const std::uint64_t peak = ProcessFigure("VmHWM") - before;
    ASSERT_EQ(outcome.status, CompareStatus::Compared) << outcome.message;
    EXPECT_EQ(sink.text, "||>>changed\r\n");
    // The budget, the buckets' write buffers and room for the threads' own.
    EXPECT_LE(peak, split.memoryBudget + (40 << 20)) << peak / (1 << 20) << " MB";
}

// Stopping at a phase: by the flag or by progress, with the buckets kept or not.
struct StopCase {
    const char* name;
    SplitPhase phase;
    bool byFlag;
    bool keepBuckets;
    long long rows;  // of each dump: the splitting must last, pairs need only be under way
};

void PrintTo(const StopCase& c, std::ostream* os)
{
    *os << c.name;
}

class Stop : public ::testing::TestWithParam<StopCase> {};

TEST_P(Stop, EndsCancelledAtOnceAndLeavesOnlyKeptBuckets)
{
    using Clock = std::chrono::steady_clock;
    const StopCase& c = GetParam();
    enginetest::DumpPair files;
    WriteLargePair(files, c.rows);
    std::atomic<bool> stop{false};
    CompareOptions options;
    options.stop = &stop;
    SplitSettings split;
    split.memoryBudget = c.rows * 40;  // a few bucket pairs
    split.threads = 1;  // one dump after the other: the longer the splitting, the surer a call in its middle
    split.keyColumns = {0};
    split.keepBuckets = c.keepBuckets;
    Clock::time_point stoppedAt{};
    bool stopped = false;
    split.progress = [&](SplitPhase phase, std::uint64_t done, std::uint64_t total) {
        if (stopped)
            return c.byFlag;  // a false from progress stands
        // In the middle of the phase: some of it done, not all.
        const bool midway = phase == c.phase && (phase == SplitPhase::Comparing || (done > 0 && done < total));
        if (!midway)
            return true;
        stopped = true;
        stoppedAt = Clock::now();
        if (c.byFlag)
            stop = true;
        return c.byFlag;
    };
    StringSink sink;
    SplitFigures figures;
    const std::size_t threads = testenv::ThreadCount();
    const std::size_t descriptors = testenv::OpenDescriptorCount();
    const CompareOutcome outcome = CompareFilesWithin(files.Path1(), files.Path2(), options, split, sink, &figures);
    const double seconds = std::chrono::duration<double>(Clock::now() - stoppedAt).count();
    ASSERT_TRUE(stopped) << "the phase never came";
    EXPECT_EQ(outcome.status, CompareStatus::Cancelled);
    EXPECT_EQ(outcome.message, "");
    EXPECT_LT(seconds, 1.0);
    EXPECT_EQ(testenv::ThreadCountSettledAt(threads), threads);
    EXPECT_EQ(testenv::OpenDescriptorCount(), descriptors);
    const std::vector<std::string> left = LeftBehind(files);
    EXPECT_TRUE(std::none_of(left.begin(), left.end(),
                             [](const std::string& name) { return name.find(".report") != std::string::npos; }))
        << ::testing::PrintToString(left);
    if (c.keepBuckets)
        EXPECT_FALSE(left.empty());
    else
        EXPECT_EQ(left, std::vector<std::string>());
}

INSTANTIATE_TEST_SUITE_P(
    Phases, Stop,
    ::testing::Values(StopCase{"FlagWhileSplitting", SplitPhase::Splitting, true, false, 600000},
                      StopCase{"ProgressWhileSplitting", SplitPhase::Splitting, false, false, 600000},
                      StopCase{"FlagWhileComparing", SplitPhase::Comparing, true, false, 100000},
                      StopCase{"ProgressWhileComparing", SplitPhase::Comparing, false, false, 100000},
                      StopCase{"ProgressWhileComparingKeepingBuckets", SplitPhase::Comparing, false, true, 100000}),
    [](const ::testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

} // namespace
