#include "textcompare/BlockLists.h"
#include "textcompare/CompareContext.h"
#include "textcompare/LineMatching.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineTestSupport.h"

namespace {

using enginetest::Ptr;

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
        {"moved last line: A,B,C against C,A,B",
         {"A", "B", "C"}, {"C", "A", "B"}, false,
         {{OnlyInFile2, 1, 1, 0, 1}, {Common, 2, 3, 1, 2}, {OnlyInFile1, 3, 3, 3, 0}}},
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
        {"crossing blocks of equal size: the file-2 block is given up first",
         {"A", "B", "C", "D"}, {"C", "D", "A", "B"}, false,
         {{OnlyInFile2, 1, 2, 0, 1}, {Common, 3, 4, 1, 3}, {OnlyInFile1, 3, 4, 3, 0}}},
        {"crossing blocks of different size: the smaller is given up",
         {"A", "B", "C"}, {"B", "C", "A"}, false,
         {{OnlyInFile1, 1, 1, 1, 0}, {Common, 1, 2, 2, 1}, {OnlyInFile2, 3, 3, 0, 3}}},
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
        enginetest::OptionsScope options(c.ignoreWhitespace, false);
        enginetest::ComparedFiles files(CrLfLines(c.file1), CrLfLines(c.file2));
        ASSERT_NE(files.context.result, nullptr) << c.name;
        EXPECT_EQ(files.Result(), c.result) << c.name;
    }
}

TEST(ComputeDifferences, KeepsTheBlockListsWithTheirPartners)
{
    enginetest::OptionsScope options(false, false);
    enginetest::ComparedFiles files(CrLfLines({"A", "B", "C"}), CrLfLines({"C", "A", "B"}));
    const std::vector<Entry> blocks1 = {{Common, 1, 2, 1, 1}, {Common, 3, 3, 1, 1}};
    const std::vector<Entry> blocks2 = {{Common, 1, 1, 1, 1}, {Common, 2, 3, 1, 1}};
    EXPECT_EQ(enginetest::Entries(files.context.blocks1), blocks1);
    EXPECT_EQ(enginetest::Entries(files.context.blocks2), blocks2);
    const LineBlock* ab1 = FirstBlock(files.context.blocks1);
    const LineBlock* c1 = NextBlock(ab1);
    const LineBlock* c2 = FirstBlock(files.context.blocks2);
    const LineBlock* ab2 = NextBlock(c2);
    EXPECT_EQ(Ptr(ab1->partner), ab2);
    EXPECT_EQ(Ptr(ab2->partner), ab1);
    EXPECT_EQ(Ptr(c1->partner), c2);
    EXPECT_EQ(Ptr(c2->partner), c1);
    // The lines are paired one by one.
    EXPECT_EQ(Ptr(ab1->first->partner), Ptr(ab2->first));
    EXPECT_EQ(Ptr(ab1->last->partner), Ptr(ab2->last));
    EXPECT_STREQ(c1->first->partner->text, "C\r\n");
}

TEST(ComputeDifferences, AMissingFileLeavesNoResult)
{
    testenv::TempDir dir;
    const std::string present = (dir.path() / "present.csv").string();
    testenv::WriteFile(present, "A\r\n");
    for (const auto& [p1, p2] : {std::pair{present, (dir.path() / "gone.csv").string()},
                                 std::pair{(dir.path() / "gone.csv").string(), present}}) {
        CompareContext context;
        BuildContext(p1, p2, context);
        EXPECT_TRUE(HasComparison(context));
        EXPECT_EQ(context.result, nullptr);
        EXPECT_EQ(context.blocks1, nullptr);
        EXPECT_EQ(context.blocks2, nullptr);
        ReleaseContext(context);
        EXPECT_FALSE(HasComparison(context));
        EXPECT_EQ(context.file1, nullptr);
        EXPECT_EQ(context.file2, nullptr);
    }
    EXPECT_EQ(g_listPool.liveBlocks, 0);
}

TEST(ComputeDifferences, AbandonsTheComparisonWhenThePoolRunsDry)
{
    enginetest::CapturedHooks hooks;
    enginetest::OptionsScope options(false, false);
    testenv::TempDir dir;
    // Reversed unique lines: a block per line, more than one pool block of them.
    std::vector<std::string> lines1;
    std::vector<std::string> lines2;
    for (int i = 0; i < 2000; ++i) {
        lines1.push_back("row " + std::to_string(i));
        lines2.insert(lines2.begin(), "row " + std::to_string(i));
    }
    const std::string p1 = (dir.path() / "a.csv").string();
    const std::string p2 = (dir.path() / "b.csv").string();
    testenv::WriteFile(p1, CrLfLines(lines1));
    testenv::WriteFile(p2, CrLfLines(lines2));

    CompareContext context;
    context.file1 = NewFileRecord(p1);
    context.file2 = NewFileRecord(p2);
    ASSERT_NE(GetLines(context.file1), nullptr);
    ASSERT_NE(GetLines(context.file2), nullptr);
    g_listPool.systemAlloc = [](std::size_t) -> void* { return nullptr; };
    ComputeDifferences(context);
    g_listPool.systemAlloc = PoolSystemAlloc;

    EXPECT_EQ(context.result, nullptr);
    EXPECT_EQ(context.blocks1, nullptr);
    EXPECT_EQ(context.blocks2, nullptr);
    EXPECT_NE(hooks.debug.find("GlobalAlloc failed!!\n"), std::string::npos);
    ReleaseContext(context);
    EXPECT_EQ(g_listPool.liveBlocks, 0);

    // With memory the same files compare fully.
    BuildContext(p1, p2, context);
    ASSERT_NE(context.result, nullptr);
    EXPECT_EQ(enginetest::Entries(context.result).size(), 2000u * 2 - 1);
    ReleaseContext(context);
}

// Ranges and single lines of a small list built by hand.
class LineListFixture : public ::testing::Test {
protected:
    void TearDown() override
    {
        ListFree(m_lines);
        ArenaFree(m_texts);
    }
    LineRecord* Add(const std::string& text)
    {
        if (!m_lines)
            m_lines = ListNew();
        return NewLineRecord(text.data(), text.size(), ++m_count, m_lines, &m_texts);
    }

private:
    LineList* m_lines = nullptr;
    TextArena m_texts;
    std::int32_t m_count = 0;
};

using BlockHelpers = LineListFixture;

TEST_F(BlockHelpers, FindRunEndsAndPairedLines)
{
    enginetest::OptionsScope options(true, false);
    LineRecord* a = Add("a\n");
    LineRecord* blank = Add(" \n");
    LineRecord* b = Add("b\n");
    LineRecord* c = Add("c\n");
    LineRecord* trailing = Add("\t");
    LineRecord* x = NewLineRecord("x", 1, 1, nullptr, nullptr);
    LineRecord* y = NewLineRecord("y", 1, 1, nullptr, nullptr);
    a->partner = x;  // stand-ins for partners in the other file
    c->partner = y;

    EXPECT_EQ(UnmatchedEnd(blank), b);
    EXPECT_EQ(UnmatchedEnd(b), b);             // c is paired
    EXPECT_EQ(UnmatchedEnd(c), trailing);
    EXPECT_EQ(NextSignificant(a), b);           // steps over the unpaired blank line
    EXPECT_EQ(NextSignificant(c), trailing);    // but not past the last line
    EXPECT_EQ(NextSignificant(trailing), nullptr);
    EXPECT_EQ(FirstLinked(blank, trailing), c);
    EXPECT_EQ(FirstLinked(b, b), b);            // stops at the stop line
    EXPECT_EQ(RunEnd(a), PrevLine(b));          // b is unpaired and not blank
    EXPECT_EQ(RunEnd(c), trailing);             // a trailing blank line joins the run

    LineRecord* moved = blank;
    EXPECT_TRUE(SkipBlanks(moved, c, ScanDirection::Forward));
    EXPECT_EQ(moved, b);
    moved = b;
    EXPECT_FALSE(SkipBlanks(moved, c, ScanDirection::Backward));
    moved = trailing;
    EXPECT_FALSE(SkipBlanks(moved, trailing, ScanDirection::Forward));  // already at the stop

    a->partner = nullptr;
    c->partner = nullptr;
    FreeLineRecord(x);
    FreeLineRecord(y);
}

TEST(ExtendMatch, PairsForwardAndBackwardWithinTheRanges)
{
    enginetest::OptionsScope options(false, false);
    testenv::TempDir dir;
    const std::string p1 = (dir.path() / "1").string();
    const std::string p2 = (dir.path() / "2").string();
    testenv::WriteFile(p1, CrLfLines({"P", "A", "B", "C", "D"}));
    testenv::WriteFile(p2, CrLfLines({"Q", "A", "B", "C", "E"}));
    FileRecord* f1 = NewFileRecord(p1);
    FileRecord* f2 = NewFileRecord(p2);
    LineRecord* first1 = FirstLine(GetLines(f1));
    LineRecord* first2 = FirstLine(GetLines(f2));
    LineBlock A{};
    A.first = first1;
    A.last = LastLine(f1->lines);
    LineBlock B{};
    B.first = first2;
    B.last = LastLine(f2->lines);
    // From B (line 3) of each: forward pairs B and C, backward pairs A.
    LineRecord* b1 = NextLine(NextLine(first1));
    LineRecord* b2 = NextLine(NextLine(first2));
    EXPECT_TRUE(ExtendMatch(&A, b1, &B, b2));
    std::vector<std::int32_t> paired;
    for (LineRecord* l = first1; l; l = NextLine(l)) {
        if (l->partner) {
            EXPECT_EQ(l->partner->lineNumber, l->lineNumber);
            paired.push_back(l->lineNumber);
        }
    }
    EXPECT_EQ(paired, (std::vector<std::int32_t>{2, 3, 4}));
    EXPECT_FALSE(ExtendMatch(&A, b1, &B, b2));  // nothing new
    EXPECT_FALSE(ExtendMatch(&A, nullptr, &B, b2));
    FreeFileRecord(f1);
    FreeFileRecord(f2);
}

} // namespace
