// Many random pairs of small files: whatever the pairing, each line of either
// file is accounted for exactly once, lines are reported in file order, and the
// merge file says the same.
#include "textcompare/CompareFiles.h"
#include "textcompare/LineCompare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "RandomPairs.h"

namespace {

using enginetest::Compared;
using enginetest::Fold;
using enginetest::Join;
using enginetest::Lines;
using enginetest::OptionsCase;
using enginetest::RandomPairs;
using enginetest::SplitReport;

bool IsBlank(const std::string& line)
{
    return Fold(line, true, false) == "\n";
}

// The file-1 block of the comparison that starts at 1-based line `lineNumber`.
const LineBlock* Block1At(const Comparison& c, std::int64_t lineNumber)
{
    for (const LineBlock& b : c.blocks1) {
        if (std::int64_t(b.first) + 1 == lineNumber)
            return &b;
    }
    return nullptr;
}

// Checks the result of one pair; returns the expected merge file text.
std::string CheckResult(const Compared& compared, const Lines& f1, const Lines& f2, bool ignoreWhitespace,
                        bool ignoreCase, const std::string& where)
{
    std::string report;
    std::vector<int> seen1(f1.size() + 1, 0);  // how often each file-1 line is accounted for
    std::size_t next1 = 1;  // removed lines come in file order
    std::size_t next2 = 1;  // every entry but removed ones walks file 2 in order
    for (const enginetest::Entry& e : compared.Result()) {
        const auto first = static_cast<std::size_t>(e.firstLine);
        const auto last = static_cast<std::size_t>(e.lastLine);
        if (e.type == OnlyInFile1) {
            EXPECT_GE(first, next1) << where;
            for (std::size_t n = first; n <= last; ++n) {
                report += "|<<" + f1[n - 1];
                ++seen1[n];
            }
            next1 = last + 1;
            continue;
        }
        EXPECT_EQ(first, next2) << where;
        next2 = last + 1;
        if (e.type == OnlyInFile2) {
            for (std::size_t n = first; n <= last; ++n)
                report += "||>>" + f2[n - 1];
            continue;
        }
        EXPECT_EQ(e.type, Common) << where;
        if (e.file1Line == 0) {
            // A common block without partner: unpaired blank lines of file 2.
            for (std::size_t n = first; n <= last; ++n)
                EXPECT_TRUE(ignoreWhitespace && IsBlank(f2[n - 1])) << where;
            continue;
        }
        const LineBlock* p = Block1At(compared.c, e.file1Line);
        if (!p) {
            ADD_FAILURE() << where << ": no file-1 block at line " << e.file1Line;
            return report;
        }
        // The two sides hold equal lines, blank lines aside.
        std::vector<std::string> side1;
        std::vector<std::string> side2;
        for (std::size_t n = p->first + 1; n <= p->last + 1u; ++n) {
            ++seen1[n];
            if (!(ignoreWhitespace && IsBlank(f1[n - 1])))
                side1.push_back(Fold(f1[n - 1], ignoreWhitespace, ignoreCase));
        }
        for (std::size_t n = first; n <= last; ++n) {
            if (!(ignoreWhitespace && IsBlank(f2[n - 1])))
                side2.push_back(Fold(f2[n - 1], ignoreWhitespace, ignoreCase));
        }
        EXPECT_EQ(side1, side2) << where;
        if (!ignoreWhitespace) {
            EXPECT_EQ(last - first, static_cast<std::size_t>(p->last - p->first)) << where;
        }
    }
    EXPECT_EQ(next2, f2.size() + 1) << where << ": file-2 lines lost";
    for (std::size_t n = 1; n <= f1.size(); ++n) {
        // Only unpaired blank lines of file 1 may go unreported (Ignore Whitespace).
        if (seen1[n] == 0)
            EXPECT_TRUE(ignoreWhitespace && IsBlank(f1[n - 1])) << where << ": file-1 line " << n << " lost";
        else
            EXPECT_EQ(seen1[n], 1) << where << ": file-1 line " << n << " twice";
    }
    return report;
}

void RunPairs(unsigned seed, int pairs, bool ignoreWhitespace)
{
    RandomPairs random(seed, ignoreWhitespace);
    enginetest::DumpPair files;
    for (int i = 0; i < pairs; ++i) {
        const bool ignoreCase = random.Pick(2) == 1;
        const Lines f1 = random.File();
        const Lines f2 = random.Pick(4) == 0 ? random.File() : random.Edited(f1);
        const std::string where = "pair " + std::to_string(i) + ": " + ::testing::PrintToString(f1) + " / " +
                                  ::testing::PrintToString(f2) + (ignoreCase ? " ignoring case" : "");
        CompareOptions options;
        options.ignoreWhitespace = ignoreWhitespace;
        options.ignoreCase = ignoreCase;
        const Compared compared(Join(f1), Join(f2), LineRules{ignoreWhitespace, ignoreCase});
        const std::string expected = CheckResult(compared, f1, f2, ignoreWhitespace, ignoreCase, where);
        EXPECT_EQ(files.Compare(Join(f1), Join(f2), options), expected) << where;
        ASSERT_EQ(files.outcome.status, CompareStatus::Compared) << where;
        if (!ignoreWhitespace && Fold(Join(f1), false, ignoreCase) == Fold(Join(f2), false, ignoreCase)) {
            EXPECT_EQ(expected, "") << where << ": equal files give a report";
        }
        if (::testing::Test::HasFailure())
            return;
    }
}

TEST(RandomPairs, EveryLineIsAccountedForOnceAndReportedInFileOrder)
{
    RunPairs(20240607, 3000, false);
}

TEST(RandomPairs, UnderIgnoreWhitespaceOnlyBlankLinesMayGoUnreported)
{
    RunPairs(77, 2000, true);
}

TEST(RandomPairs, EqualFilesGiveNoReport)
{
    RandomPairs random(5, true);
    enginetest::DumpPair files;
    for (int i = 0; i < 300; ++i) {
        const Lines f = random.File();
        CompareOptions options;
        options.ignoreWhitespace = random.Pick(2) == 1;
        options.ignoreCase = random.Pick(2) == 1;
        ASSERT_EQ(files.Compare(Join(f), Join(f), options), "") << ::testing::PrintToString(f);
        const Compared compared(Join(f), Join(f), LineRules{options.ignoreWhitespace, options.ignoreCase});
        for (const enginetest::Entry& e : compared.Result())
            ASSERT_EQ(e.type, Common);
    }
}

// The walk over the two block lists as it was before moved blocks were left
// out: of two crossing blocks the smaller was given up as removed or added.
// Returns false when the pair has a crossing, where the two walks differ.
bool WalkWithoutMoves(const Comparison& c, std::vector<enginetest::Entry>& out)
{
    const BlockList& b1 = c.blocks1;
    const BlockList& b2 = c.blocks2;
    const auto emit = [&](BlockType type, std::size_t p, std::size_t q) {
        const LineBlock& s = type == OnlyInFile1 ? b1[p] : b2[q];
        out.push_back({type, std::int64_t(s.first) + 1, std::int64_t(s.last) + 1,
                       p < b1.size() && type != OnlyInFile2 ? std::int64_t(b1[p].first) + 1 : 0,
                       q < b2.size() && type != OnlyInFile1 ? std::int64_t(b2[q].first) + 1 : 0});
    };
    std::size_t p = 0;
    std::size_t q = 0;
    while (p < b1.size() || q < b2.size()) {
        if (p == b1.size()) {
            if (b2[q].partner != kNoBlock)
                return false;
            emit(OnlyInFile2, b1.size(), q++);
        } else if (q == b2.size() || b1[p].type == OnlyInFile1) {
            if (b1[p].partner != kNoBlock)
                return false;
            emit(OnlyInFile1, p++, b2.size());
        } else if (b1[p].partner == kNoBlock) {
            ++p;
        } else if (b2[q].partner == kNoBlock) {
            emit(b2[q].type, b1.size(), q);
            ++q;
        } else if (b1[p].partner == q) {
            emit(Common, p++, q++);
        } else {
            return false;
        }
    }
    return true;
}

TEST(RandomPairs, WithoutCrossingsTheResultIsAsBefore)
{
    int withoutCrossings = 0;
    for (const bool ignoreWhitespace : {false, true}) {
        RandomPairs random(4242 + ignoreWhitespace, ignoreWhitespace);
        for (int i = 0; i < 3000; ++i) {
            const Lines f1 = random.File();
            const Lines f2 = random.Pick(4) == 0 ? random.File() : random.Edited(f1);
            const Compared compared(Join(f1), Join(f2), LineRules{ignoreWhitespace, random.Pick(2) == 1});
            std::vector<enginetest::Entry> before;
            if (!WalkWithoutMoves(compared.c, before))
                continue;
            ++withoutCrossings;
            ASSERT_EQ(compared.Result(), before)
                << ::testing::PrintToString(f1) << " / " << ::testing::PrintToString(f2);
        }
    }
    EXPECT_GT(withoutCrossings, 3000);  // most pairs have no crossing
}

// The report needs a Common entry only where a run of differences ends: of
// consecutive ones the first is handed out, the others are left out.
TEST(RandomPairs, FirstOfRunLeavesOutOnlyCommonEntriesThatFollowOne)
{
    for (const bool ignoreWhitespace : {false, true}) {
        RandomPairs random(31 + ignoreWhitespace, ignoreWhitespace);
        for (int i = 0; i < 1000; ++i) {
            const Lines f1 = random.File();
            const Lines f2 = random.Pick(4) == 0 ? random.File() : random.Edited(f1);
            const Compared compared(Join(f1), Join(f2), LineRules{ignoreWhitespace, random.Pick(2) == 1});
            std::vector<enginetest::Entry> expected;
            for (const enginetest::Entry& e : compared.Result()) {
                if (!(e.type == Common && !expected.empty() && expected.back().type == Common))
                    expected.push_back(e);
            }
            std::vector<enginetest::Entry> firstOfRun;
            MergeBlocks(
                compared.c,
                [&](const ResultEntry& r) {
                    firstOfRun.push_back(enginetest::EntryOf(r));
                    return true;
                },
                CommonEntries::FirstOfRun);
            ASSERT_EQ(firstOfRun, expected) << ::testing::PrintToString(f1) << " / " << ::testing::PrintToString(f2);
        }
    }
}

// Each line unique within its file (the dump of a table with a key), the two
// files in any order: exactly the lines missing from the other file are
// reported, each side in its file's order.
class UniqueLines : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(UniqueLines, OnlyLinesMissingFromTheOtherFileAreReported)
{
    const OptionsCase options = GetParam();
    CompareOptions compare;
    compare.ignoreWhitespace = options.ignoreWhitespace;
    compare.ignoreCase = options.ignoreCase;
    RandomPairs random(911 + 2 * options.ignoreWhitespace + options.ignoreCase, false);
    enginetest::DumpPair files;
    for (int i = 0; i < 1500; ++i) {
        // Rows of a keyed table; the new file holds some of the old rows (a few
        // written differently where the options make that equal) and new ones.
        const std::size_t size = random.Pick(40);
        Lines f1;
        Lines f2;
        for (std::size_t k = 0; k < size; ++k) {
            const std::string row = std::to_string(k) + ",x" + std::to_string(random.Pick(3));
            f1.push_back(row + "\r\n");
            const std::size_t dice = random.Pick(10);
            if (dice == 0)
                continue;  // deleted
            if (dice == 1) {
                f2.push_back(row + "y\r\n");  // changed
            } else if (dice == 2 && options.ignoreWhitespace) {
                f2.push_back(" " + row + "\t\r\n");
            } else if (dice == 3 && options.ignoreCase) {
                f2.push_back(std::to_string(k) + ",X" + row.substr(row.find(',') + 2) + "\r\n");
            } else {
                f2.push_back(row + "\r\n");
            }
        }
        for (std::size_t k = 0; k < random.Pick(4); ++k)
            f2.push_back("new" + std::to_string(k) + "\r\n");
        std::shuffle(f1.begin(), f1.end(), random.Rng());
        if (random.Pick(3) != 0)
            std::shuffle(f2.begin(), f2.end(), random.Rng());

        std::set<std::string> folded1;
        std::set<std::string> folded2;
        for (const auto& l : f1)
            folded1.insert(Fold(l, options.ignoreWhitespace, options.ignoreCase));
        for (const auto& l : f2)
            folded2.insert(Fold(l, options.ignoreWhitespace, options.ignoreCase));
        Lines expectedRemoved;
        Lines expectedAdded;
        for (const auto& l : f1) {
            if (!folded2.count(Fold(l, options.ignoreWhitespace, options.ignoreCase)))
                expectedRemoved.push_back(l);
        }
        for (const auto& l : f2) {
            if (!folded1.count(Fold(l, options.ignoreWhitespace, options.ignoreCase)))
                expectedAdded.push_back(l);
        }
        const std::string where = ::testing::PrintToString(f1) + " / " + ::testing::PrintToString(f2);
        Lines removed;
        Lines added;
        SplitReport(files.Compare(Join(f1), Join(f2), compare), removed, added, where);
        ASSERT_EQ(removed, expectedRemoved) << where;
        ASSERT_EQ(added, expectedAdded) << where;
        ASSERT_EQ(files.outcome.removedLines, static_cast<std::int64_t>(expectedRemoved.size()));
        ASSERT_EQ(files.outcome.addedLines, static_cast<std::int64_t>(expectedAdded.size()));
    }
}

INSTANTIATE_TEST_SUITE_P(EachComparisonOption, UniqueLines, enginetest::EachOption(), enginetest::OptionsName);

} // namespace
