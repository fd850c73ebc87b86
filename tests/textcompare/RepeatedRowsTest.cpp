// Tables whose dumps repeat rows (a table without a key): the removed and the
// added rows are exactly the multiset difference of the two dumps, and
// comparing the dumps the other way round gives the mirror image. Tables whose
// rows are unique come out as the anchored rounds alone leave them.
#include "textcompare/Comparison.h"
#include "textcompare/LineQueueMap.h"
#include "textcompare/RepeatedLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "EngineTestSupport.h"

namespace {

using enginetest::Compared;
using enginetest::CrLfLines;
using enginetest::Entry;
using enginetest::FoldedSorted;
using enginetest::Join;
using enginetest::Lines;
using enginetest::OptionsCase;

struct RepeatCase {
    const char* name;
    Lines file1;
    Lines file2;
    LineRules rules;
    std::vector<Entry> result;  // {type, first line, last line, file-1 line, file-2 line}
};

TEST(RepeatedRows, WorkedExamples)
{
    const std::vector<RepeatCase> cases = {
        {"one more copy in the new file is the whole difference",
         {"a", "b"}, {"c", "b", "b", "d"}, {},
         {{OnlyInFile1, 1, 1, 1, 0}, {OnlyInFile2, 1, 1, 0, 1}, {Common, 2, 2, 2, 2}, {OnlyInFile2, 3, 4, 0, 3}}},
        {"the same files the other way round: the mirror image",
         {"c", "b", "b", "d"}, {"a", "b"}, {},
         {{OnlyInFile1, 1, 1, 1, 0}, {OnlyInFile2, 1, 1, 0, 1}, {Common, 2, 2, 2, 2}, {OnlyInFile1, 3, 4, 3, 0}}},
        {"a copy paired across another pair counts as moved",
         {"r", "r", "A"}, {"A", "r"}, {},
         {{Common, 1, 1, 3, 1}, {Common, 2, 2, 1, 2}, {OnlyInFile1, 2, 2, 2, 0}}},
        {"copies on both sides of a crossing: removed, added, removed in one run",
         {"A", "B", "B", "D", "C"}, {"D", "D", "C", "B"}, {},
         {{OnlyInFile1, 1, 1, 1, 0}, {OnlyInFile2, 1, 1, 0, 1}, {OnlyInFile1, 3, 3, 3, 0}, {Common, 2, 3, 4, 2},
          {Common, 4, 4, 2, 4}}},
        {"the column line takes part like any row",
         {"ID,V", "1,a", "1,a", "ID,V"}, {"1,a", "ID,V", "2,b"}, {},
         {{Common, 1, 1, 2, 1}, {Common, 2, 2, 1, 2}, {OnlyInFile1, 3, 4, 3, 0}, {OnlyInFile2, 3, 3, 0, 3}}},
        {"copies equal under Ignore Case pair by count",
         {"a", "x", "X", "b"}, {"c", "X", "d", "x"}, {false, true},
         {{OnlyInFile1, 1, 1, 1, 0}, {OnlyInFile2, 1, 1, 0, 1}, {Common, 2, 2, 2, 2}, {OnlyInFile2, 3, 3, 0, 3},
          {Common, 4, 4, 3, 4}, {OnlyInFile1, 4, 4, 4, 0}}},
        {"copies equal under Ignore Whitespace pair by count",
         {"1, a", "2", "1,a"}, {"3", "1 ,a", "1,a", " 1,a"}, {true, false},
         {{OnlyInFile2, 1, 1, 0, 1}, {Common, 2, 2, 1, 2}, {OnlyInFile1, 2, 2, 2, 0}, {OnlyInFile2, 3, 3, 0, 3},
          {Common, 4, 4, 3, 4}}},
    };
    for (const auto& c : cases) {
        const Compared compared(CrLfLines(c.file1), CrLfLines(c.file2), c.rules);
        EXPECT_EQ(compared.Result(), c.result) << c.name;
    }
}

struct LeftCase {
    const char* name;
    Lines file1;
    Lines file2;
    bool left;
};

// The last anchored round counts every unpaired line of both files, so it
// tells whether copies are left for the pass by count; without them the pass
// is not started.
TEST(RepeatedRows, TheAnchoredRoundsTellWhetherCopiesAreLeftInBothFiles)
{
    const std::vector<LeftCase> cases = {
        {"one copy of b in the old file, two in the new", {"a", "b"}, {"c", "b", "b", "d"}, true},
        {"a copy that only crossing pairs can reach", {"r", "r", "A"}, {"A", "r"}, true},
        {"repeated lines paired by extension", {"P", "A", "A", "X"}, {"Q", "A", "A", "Y"}, false},
        {"copies in the old file only", {"a", "b", "b"}, {"a", "c"}, false},
        {"unique lines, some changed", {"1", "2", "3"}, {"3", "2x", "1"}, false},
        {"an empty file", {}, {"a", "a"}, false},
    };
    for (const auto& c : cases) {
        Comparison comparison;
        ASSERT_EQ(comparison.file1.Split(CrLfLines(c.file1), comparison.rules), FileLines::LoadResult::Loaded);
        ASSERT_EQ(comparison.file2.Split(CrLfLines(c.file2), comparison.rules), FileLines::LoadResult::Loaded);
        EXPECT_EQ(MatchFromAnchors(comparison), c.left) << c.name;
        EXPECT_EQ(PairRepeatedLines(comparison), c.left) << c.name;
    }
}

// Lines that share a key but are turned down (two rows whose keys collide)
// stay queued in their places while a later line is taken.
TEST(LineQueueMap, TakesEachKindInQueueOrderAndKeepsLinesTurnedDown)
{
    FileLines file;
    ASSERT_EQ(file.Split(CrLfLines({"x", "y", "x", "z", "x", "y"}), LineRules()), FileLines::LoadResult::Loaded);
    const LineList lines = {0, 1, 2, 4, 5};  // line 3 is not queued
    LineQueueMap map(file, lines, nullptr);
    const auto take = [&](LineIndex of, LineIndex refused) {
        const std::uint64_t key = file.Key(of);
        // The front is the first line offered.
        LineIndex front = kNoLine;
        map.TakeFirst(map.Home(key), key, [&](LineIndex l) {
            if (front == kNoLine)
                front = l;
            return false;
        });
        EXPECT_EQ(map.PeekFront(map.Home(key), key), front);
        LineIndex taken = kNoLine;
        map.TakeFirst(map.Home(key), key, [&](LineIndex l) { return l != refused && (taken = l, true); });
        return taken;
    };
    EXPECT_EQ(take(0, 0), 2u);            // the first x turned down: the second is taken from the middle
    EXPECT_EQ(take(0, kNoLine), 0u);      // the first x is still at the front
    EXPECT_EQ(take(0, kNoLine), 4u);
    EXPECT_EQ(take(0, kNoLine), kNoLine);  // no x left; the slot stays for the kinds probed past it
    EXPECT_EQ(take(1, kNoLine), 1u);
    EXPECT_EQ(take(5, kNoLine), 5u);
    EXPECT_EQ(take(3, kNoLine), kNoLine);  // z was never queued
}

// Random dumps of tables whose rows repeat: a column line, then rows drawn
// from a few kinds, each copy written the way the options may ignore (a letter
// in the other case, a space or tab more) or exactly.
class RandomTables {
public:
    explicit RandomTables(unsigned seed) : m_rng(seed) {}

    std::size_t Pick(std::size_t n) { return n == 0 ? 0 : m_rng() % n; }

    std::string Row(std::size_t kind)
    {
        std::string row = std::to_string(kind) + ",v" + static_cast<char>('a' + kind % 3);
        switch (Pick(6)) {
        case 0:
            row[row.size() - 2] = 'V';
            break;
        case 1:
            row.insert(row.find(','), " ");
            break;
        case 2:
            row += "\t";
            break;
        default:
            break;
        }
        return row + "\r\n";
    }

    std::string ColumnLine() { return Pick(8) == 0 ? "id,v\r\n" : Pick(8) == 0 ? "ID,W\r\n" : "ID,V\r\n"; }

    Lines Old()
    {
        m_kinds = 1 + Pick(6);
        Lines rows(Pick(25));
        for (auto& r : rows)
            r = Row(Pick(m_kinds));
        rows.insert(rows.begin(), ColumnLine());
        return rows;
    }

    // The old rows with some taken out, some copied, some new and, often, in another order.
    Lines New(const Lines& old)
    {
        if (Pick(5) == 0)
            return Old();
        Lines rows = {Pick(6) == 0 ? ColumnLine() : old[0]};
        for (std::size_t i = 1; i < old.size(); ++i) {
            const std::size_t dice = Pick(10);
            if (dice == 0)
                continue;
            rows.push_back(dice == 1 ? Row(Pick(m_kinds + 1)) : old[i]);
            if (dice == 2)
                rows.push_back(old[i]);
        }
        for (std::size_t k = Pick(4); k > 0; --k)
            rows.push_back(Row(Pick(m_kinds + 1)));
        if (Pick(2) == 0)
            std::shuffle(rows.begin(), rows.end(), m_rng);
        return rows;
    }

private:
    std::mt19937 m_rng;
    std::size_t m_kinds = 1;
};

// The lines of `a` that `b` lacks, as a multiset of folded lines, sorted.
Lines MultisetDifference(const Lines& a, const Lines& b, const OptionsCase& options)
{
    std::map<std::string, int> count;
    for (const auto& l : FoldedSorted(b, options.ignoreWhitespace, options.ignoreCase))
        ++count[l];
    Lines difference;
    for (const auto& l : FoldedSorted(a, options.ignoreWhitespace, options.ignoreCase)) {
        if (count[l] > 0)
            --count[l];
        else
            difference.push_back(l);
    }
    return difference;
}

// Whether `part` is `whole` with lines left out, the rest in the same order.
bool IsSubsequence(const Lines& part, const Lines& whole)
{
    std::size_t at = 0;
    for (const auto& line : part) {
        while (at < whole.size() && whole[at] != line)
            ++at;
        if (at == whole.size())
            return false;
        ++at;
    }
    return true;
}

class RepeatedRowsUnderEachOption : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(RepeatedRowsUnderEachOption, RemovedAndAddedRowsAreTheMultisetDifferenceBothWays)
{
    const OptionsCase options = GetParam();
    CompareOptions compare;
    compare.ignoreWhitespace = options.ignoreWhitespace;
    compare.ignoreCase = options.ignoreCase;
    const auto folded = [&](const Lines& lines) {
        return FoldedSorted(lines, options.ignoreWhitespace, options.ignoreCase);
    };
    RandomTables random(1701);
    enginetest::DumpPair files;
    int withRepeats = 0;
    for (int i = 0; i < 1500; ++i) {
        const Lines f1 = random.Old();
        const Lines f2 = random.New(f1);
        Lines kinds = folded(f1);
        kinds.erase(std::unique(kinds.begin(), kinds.end()), kinds.end());
        withRepeats += kinds.size() < f1.size() ? 1 : 0;
        const std::string where = ::testing::PrintToString(f1) + " / " + ::testing::PrintToString(f2);

        Lines removed;
        Lines added;
        enginetest::SplitReport(files.Compare(Join(f1), Join(f2), compare), removed, added, where);
        ASSERT_EQ(folded(removed), MultisetDifference(f1, f2, options)) << where;
        ASSERT_EQ(folded(added), MultisetDifference(f2, f1, options)) << where;
        ASSERT_EQ(files.outcome.removedLines, static_cast<std::int64_t>(removed.size())) << where;
        ASSERT_EQ(files.outcome.addedLines, static_cast<std::int64_t>(added.size())) << where;
        // Each side's lines are its file's own, in its file's order.
        ASSERT_TRUE(IsSubsequence(removed, f1)) << where;
        ASSERT_TRUE(IsSubsequence(added, f2)) << where;

        Lines removedBack;
        Lines addedBack;
        enginetest::SplitReport(files.Compare(Join(f2), Join(f1), compare), removedBack, addedBack, where);
        ASSERT_EQ(folded(removedBack), folded(added)) << where << " the other way round";
        ASSERT_EQ(folded(addedBack), folded(removed)) << where << " the other way round";
    }
    EXPECT_GT(withRepeats, 1000);  // most tables repeat a row
}

INSTANTIATE_TEST_SUITE_P(EachComparisonOption, RepeatedRowsUnderEachOption, enginetest::EachOption(),
                         enginetest::OptionsName);

class UniqueRowsUnderEachOption : public ::testing::TestWithParam<OptionsCase> {};

// Rows unique within each dump (a table with a key), some written the way the
// options ignore: the anchored rounds pair every row that the other dump
// holds and say so, the pass over repeated lines finds nothing left to pair
// either, and the result is the one the rounds alone give, so the merge files
// of such tables stay as they were.
TEST_P(UniqueRowsUnderEachOption, AreLeftAsTheAnchoredRoundsPairThem)
{
    const OptionsCase options = GetParam();
    const LineRules rules{options.ignoreWhitespace, options.ignoreCase};
    RandomTables random(2718);
    int changed = 0;
    for (int i = 0; i < 1500; ++i) {
        Lines f1 = {"ID,V\r\n"};
        Lines f2 = {random.Pick(8) == 0 ? "ID,W\r\n" : "ID,V\r\n"};
        for (std::size_t k = 0, rows = random.Pick(40); k < rows; ++k) {
            const std::string row = std::to_string(k) + ",v" + std::to_string(random.Pick(3));
            f1.push_back(row + "\r\n");
            switch (random.Pick(8)) {
            case 0:
                break;  // deleted
            case 1:
                f2.push_back(row + "w\r\n");
                break;
            case 2:
                f2.push_back(std::to_string(k) + ",V" + row.substr(row.find(',') + 2) + "\r\n");
                break;
            case 3:
                f2.push_back(" " + row + "\t\r\n");
                break;
            default:
                f2.push_back(row + "\r\n");
            }
        }
        for (std::size_t k = random.Pick(4); k > 0; --k)
            f2.push_back("new" + std::to_string(k) + "\r\n");
        if (random.Pick(2) == 0)
            std::shuffle(f2.begin() + 1, f2.end(), std::mt19937(i));
        const std::string where = ::testing::PrintToString(f1) + " / " + ::testing::PrintToString(f2);

        Comparison anchored;
        anchored.rules = rules;
        ASSERT_EQ(anchored.file1.Split(Join(f1), rules), FileLines::LoadResult::Loaded);
        ASSERT_EQ(anchored.file2.Split(Join(f2), rules), FileLines::LoadResult::Loaded);
        ASSERT_FALSE(MatchFromAnchors(anchored)) << where << ": no kind of row is left unpaired in both";
        const std::vector<Entry> byAnchors = enginetest::ResultOf(anchored);
        ASSERT_FALSE(PairRepeatedLines(anchored)) << where;
        ASSERT_EQ(Compared(Join(f1), Join(f2), rules).Result(), byAnchors) << where;
        changed += byAnchors.size() > 1 ? 1 : 0;
    }
    EXPECT_GT(changed, 1000);  // most pairs differ
}

INSTANTIATE_TEST_SUITE_P(EachComparisonOption, UniqueRowsUnderEachOption, enginetest::EachOption(),
                         enginetest::OptionsName);

} // namespace
