#include "textcompare/BlockLists.h"
#include "textcompare/Comparison.h"
#include "textcompare/LineMatching.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineTestSupport.h"

namespace {

using enginetest::Compared;
using enginetest::CrLfLines;
using enginetest::Entry;

struct DiffCase {
    const char* name;
    std::vector<std::string> file1;
    std::vector<std::string> file2;
    bool ignoreWhitespace;
    std::vector<Entry> result;  // {type, first line, last line, file-1 line, file-2 line}
};

TEST(ComputeDifferences, WorkedExamples)
{
    const std::vector<DiffCase> cases = {
        // A table has no row order: a block that moved is common at its place in file 2.
        {"moved last line: A,B,C against C,A,B is no difference",
         {"A", "B", "C"}, {"C", "A", "B"}, false,
         {{Common, 1, 1, 3, 1}, {Common, 2, 3, 1, 2}}},
        {"changed middle line: A,B,C against A,X,C",
         {"A", "B", "C"}, {"A", "X", "C"}, false,
         {{Common, 1, 1, 1, 1}, {OnlyInFile1, 2, 2, 2, 0}, {OnlyInFile2, 2, 2, 0, 2}, {Common, 3, 3, 3, 3}}},
        {"no anchor: P,A,A,X against Q,A,A,Y pairs the A lines backward from the last lines",
         {"P", "A", "A", "X"}, {"Q", "A", "A", "Y"}, false,
         {{OnlyInFile1, 1, 1, 1, 0}, {OnlyInFile2, 1, 1, 0, 1}, {Common, 2, 3, 2, 2},
          {OnlyInFile1, 4, 4, 4, 0}, {OnlyInFile2, 4, 4, 0, 4}}},
        {"identical files", {"A", "B", "C"}, {"A", "B", "C"}, false, {{Common, 1, 3, 1, 1}}},
        {"empty against three lines", {}, {"A", "B", "C"}, false, {{OnlyInFile2, 1, 3, 0, 1}}},
        {"three lines against empty", {"A", "B", "C"}, {}, false, {{OnlyInFile1, 1, 3, 1, 0}}},
        {"both empty", {}, {}, false, {}},
        {"crossing blocks of equal size: the file-2 block counts as moved",
         {"A", "B", "C", "D"}, {"C", "D", "A", "B"}, false,
         {{Common, 1, 2, 3, 1}, {Common, 3, 4, 1, 3}}},
        {"crossing blocks of different size: the smaller counts as moved",
         {"A", "B", "C"}, {"B", "C", "A"}, false,
         {{Common, 1, 2, 2, 1}, {Common, 3, 3, 1, 3}}},
        {"a moved row beside a changed one: only the change is reported",
         {"A", "B", "C", "D"}, {"D", "A", "X", "C"}, false,
         {{Common, 1, 1, 4, 1}, {Common, 2, 2, 1, 2}, {OnlyInFile1, 2, 2, 2, 0}, {OnlyInFile2, 3, 3, 0, 3},
          {Common, 4, 4, 3, 4}}},
        {"a blank line only in file 2 breaks the common run",
         {"A", "B", "C"}, {"A", "", "B", "C"}, false,
         {{Common, 1, 1, 1, 1}, {OnlyInFile2, 2, 2, 0, 2}, {Common, 3, 4, 2, 3}}},
        {"under Ignore Whitespace the blank line joins the common run",
         {"A", "B", "C"}, {"A", " \t", "B", "C"}, true, {{Common, 1, 4, 1, 1}}},
        {"under Ignore Whitespace a blank line only in file 1 is absorbed too",
         {"A", "", "B", "C"}, {"A", "B", "C"}, true, {{Common, 1, 3, 1, 1}}},
        {"under Ignore Whitespace spaces inside lines do not count",
         {"A", "B C", "D"}, {"A", "BC", "D "}, true, {{Common, 1, 3, 1, 1}}},
        {"a repeated line next to an anchored run is paired with it",
         {"X", "A", "A", "B"}, {"A", "A", "B"}, false,
         {{OnlyInFile1, 1, 1, 1, 0}, {Common, 1, 3, 2, 1}}},
        {"repeated lines next to anchored runs pair by extension",
         {"A", "R", "B", "C", "R", "D"}, {"A", "R", "x", "B", "C", "y", "R", "D"}, false,
         {{Common, 1, 2, 1, 1}, {OnlyInFile2, 3, 3, 0, 3}, {Common, 4, 5, 3, 4},
          {OnlyInFile2, 6, 6, 0, 6}, {Common, 7, 8, 5, 7}}},
        {"a line repeated in the file but unique in its gap pairs when the gaps are matched",
         {"A", "p", "R", "q", "B", "C", "s", "R", "t", "D"},
         {"A", "P", "R", "Q", "B", "C", "S", "R", "T", "D"}, false,
         {{Common, 1, 1, 1, 1}, {OnlyInFile1, 2, 2, 2, 0}, {OnlyInFile2, 2, 2, 0, 2}, {Common, 3, 3, 3, 3},
          {OnlyInFile1, 4, 4, 4, 0}, {OnlyInFile2, 4, 4, 0, 4}, {Common, 5, 6, 5, 5},
          {OnlyInFile1, 7, 7, 7, 0}, {OnlyInFile2, 7, 7, 0, 7}, {Common, 8, 8, 8, 8},
          {OnlyInFile1, 9, 9, 9, 0}, {OnlyInFile2, 9, 9, 0, 9}, {Common, 10, 10, 10, 10}}},
    };
    for (const auto& c : cases) {
        LineRules rules;
        rules.ignoreWhitespace = c.ignoreWhitespace;
        const Compared compared(CrLfLines(c.file1), CrLfLines(c.file2), rules);
        EXPECT_EQ(compared.Result(), c.result) << c.name;
    }
}

TEST(ComputeDifferences, KeepsTheBlockListsWithTheirPartners)
{
    const Compared files(CrLfLines({"A", "B", "C"}), CrLfLines({"C", "A", "B"}));
    const std::vector<Entry> blocks1 = {{Common, 1, 2, 1, 1}, {Common, 3, 3, 1, 1}};
    const std::vector<Entry> blocks2 = {{Common, 1, 1, 1, 1}, {Common, 2, 3, 1, 1}};
    EXPECT_EQ(enginetest::Entries(files.c.blocks1), blocks1);
    EXPECT_EQ(enginetest::Entries(files.c.blocks2), blocks2);
    // A-B of file 1 with A-B of file 2, C with C.
    EXPECT_EQ(files.c.blocks1[0].partner, 1u);
    EXPECT_EQ(files.c.blocks2[1].partner, 0u);
    EXPECT_EQ(files.c.blocks1[1].partner, 0u);
    EXPECT_EQ(files.c.blocks2[0].partner, 1u);
    // The lines are paired one by one.
    EXPECT_EQ(files.c.file1.Partner(0), 1u);
    EXPECT_EQ(files.c.file1.Partner(1), 2u);
    EXPECT_EQ(files.c.file2.Text(files.c.file1.Partner(2)), "C\r\n");
}

TEST(ComputeDifferences, AReorderedButEqualTableHasNoDifferences)
{
    std::vector<std::string> rows = {"ID,NAME"};
    for (int i = 1; i <= 500; ++i)
        rows.push_back(std::to_string(i) + ",\"row " + std::to_string(i) + "\"");
    std::vector<std::string> reordered = {rows[0]};
    for (std::size_t i = 0; i < 500; ++i)
        reordered.push_back(rows[1 + (i * 7919) % 500]);  // every row once, in another order
    const Compared files(CrLfLines(rows), CrLfLines(reordered));
    for (const Entry& e : files.Result())
        ASSERT_EQ(e.type, Common) << e;
}

// Ranges and single lines of a small file made by hand.
TEST(BlockHelpers, FindRunEndsAndPairedLines)
{
    LineRules rules;
    rules.ignoreWhitespace = true;
    FileLines file;
    ASSERT_EQ(file.Split("a\n \nb\nc\n\t", rules), FileLines::LoadResult::Loaded);
    FileLines other;
    ASSERT_EQ(other.Split("x\ny\n", rules), FileLines::LoadResult::Loaded);
    const LineIndex a = 0, blank = 1, b = 2, c = 3, trailing = 4;
    file.SetPartner(a, 0);  // stand-ins for partners in the other file
    other.SetPartner(0, a);
    file.SetPartner(c, 1);
    other.SetPartner(1, c);

    EXPECT_EQ(UnmatchedEnd(file, blank), b);
    EXPECT_EQ(UnmatchedEnd(file, b), b);             // c is paired
    EXPECT_EQ(UnmatchedEnd(file, c), trailing);
    EXPECT_EQ(NextSignificant(file, a, rules), b);   // steps over the unpaired blank line
    EXPECT_EQ(NextSignificant(file, c, rules), trailing);  // but not past the last line
    EXPECT_EQ(NextSignificant(file, trailing, rules), kNoLine);
    EXPECT_EQ(FirstLinked(file, blank, trailing), c);
    EXPECT_EQ(FirstLinked(file, b, b), b);           // stops at the stop line
    EXPECT_EQ(RunEnd(file, other, a, rules), b - 1); // b is unpaired and not blank
    EXPECT_EQ(RunEnd(file, other, c, rules), trailing);  // a trailing blank line joins the run

    LineIndex moved = blank;
    EXPECT_TRUE(SkipBlanks(file, moved, c, ScanDirection::Forward));
    EXPECT_EQ(moved, b);
    moved = b;
    EXPECT_FALSE(SkipBlanks(file, moved, c, ScanDirection::Backward));
    moved = trailing;
    EXPECT_FALSE(SkipBlanks(file, moved, trailing, ScanDirection::Forward));  // already at the stop
}

TEST(ExtendMatch, PairsForwardAndBackwardWithinTheRanges)
{
    Comparison c;
    ASSERT_EQ(c.file1.Split(CrLfLines({"P", "A", "B", "C", "D"}), c.rules), FileLines::LoadResult::Loaded);
    ASSERT_EQ(c.file2.Split(CrLfLines({"Q", "A", "B", "C", "E"}), c.rules), FileLines::LoadResult::Loaded);
    const LineRange A{0, 4};
    const LineRange B{0, 4};
    // From B (line 3) of each: forward pairs B and C, backward pairs A.
    EXPECT_TRUE(ExtendMatch(c, A, 2, B, 2));
    std::vector<LineIndex> paired;
    for (LineIndex l = 0; l < c.file1.Count(); ++l) {
        if (c.file1.IsPaired(l)) {
            EXPECT_EQ(c.file1.Partner(l), l);
            paired.push_back(l + 1);
        }
    }
    EXPECT_EQ(paired, (std::vector<LineIndex>{2, 3, 4}));
    EXPECT_FALSE(ExtendMatch(c, A, 2, B, 2));  // nothing new
    EXPECT_FALSE(ExtendMatch(c, A, kNoLine, B, 2));
}

} // namespace
