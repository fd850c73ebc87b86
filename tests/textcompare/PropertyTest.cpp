// Many random pairs of small files: whatever the pairing, each line of either
// file is reported exactly once, in file order, and the merge file says the same.
#include "textcompare/CompareReport.h"
#include "textcompare/LineCompare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "EngineTestSupport.h"

namespace {

using Lines = std::vector<std::string>;

std::string Fold(std::string text, bool ignoreWhitespace, bool ignoreCase)
{
    std::string out;
    for (char c : text) {
        if (ignoreWhitespace && (c == ' ' || c == '\t' || c == '\r'))
            continue;
        out += (ignoreCase && c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    }
    return out;
}

bool IsBlank(const std::string& line)
{
    return Fold(line, true, false) == "\n";
}

class RandomPairs {
public:
    explicit RandomPairs(unsigned seed, bool withBlanks) : m_rng(seed), m_withBlanks(withBlanks) {}

    std::string Line()
    {
        static const char* const kTexts[] = {"a", "b", "c", "d", "e", "A", "a b"};
        static const char* const kBlanks[] = {"", " ", "\t "};
        if (m_withBlanks && Pick(5) == 0)
            return std::string(kBlanks[Pick(3)]) + "\r\n";
        return std::string(kTexts[Pick(7)]) + "\r\n";
    }

    Lines File()
    {
        Lines lines(Pick(12));
        for (auto& l : lines)
            l = Line();
        return lines;
    }

    // file 1 with a few random insertions, deletions, changes and moves
    Lines Edited(Lines lines)
    {
        const std::size_t edits = Pick(5);
        for (std::size_t e = 0; e < edits; ++e) {
            const std::size_t at = lines.empty() ? 0 : Pick(lines.size());
            switch (Pick(4)) {
            case 0:
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(std::min(at, lines.size())), Line());
                break;
            case 1:
                if (!lines.empty())
                    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
                break;
            case 2:
                if (!lines.empty())
                    lines[at] = Line();
                break;
            default:
                if (lines.size() > 1) {
                    const std::string moved = lines[at];
                    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
                    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(Pick(lines.size() + 1)), moved);
                }
            }
        }
        return lines;
    }

    std::size_t Pick(std::size_t n) { return n == 0 ? 0 : m_rng() % n; }

private:
    std::mt19937 m_rng;
    bool m_withBlanks;
};

// Replaces a file by a new one. Rewriting a truncated file would make the file
// system write it out at once, thousands of times over.
void Rewrite(const std::filesystem::path& path, const std::string& bytes)
{
    std::filesystem::remove(path);
    testenv::WriteFile(path, bytes);
}

std::string Join(const Lines& lines)
{
    std::string text;
    for (const auto& l : lines)
        text += l;
    return text;
}

// The file-1 block of the context's block list that starts at `lineNumber`.
const LineBlock* Block1At(const CompareContext& context, std::int32_t lineNumber)
{
    for (const LineBlock* b = FirstBlock(context.blocks1); b; b = NextBlock(b)) {
        if (b->first->lineNumber == lineNumber)
            return b;
    }
    return nullptr;
}

// Checks the result list of one pair; returns the expected merge file text.
std::string CheckResult(const CompareContext& context, const Lines& f1, const Lines& f2, bool ignoreWhitespace,
                        bool ignoreCase, const std::string& where)
{
    std::string report;
    std::size_t next1 = 1;  // the next line of each file that must be reported
    std::size_t next2 = 1;
    const auto skipUnreportedBlanks = [&](std::size_t upTo) {
        // Only unpaired blank lines of file 1 may go unreported (Ignore Whitespace).
        for (; next1 < upTo; ++next1)
            EXPECT_TRUE(ignoreWhitespace && IsBlank(f1[next1 - 1])) << where << ": file-1 line " << next1 << " lost";
    };
    for (const LineBlock* e = FirstBlock(context.result); e; e = NextBlock(e)) {
        const auto first = static_cast<std::size_t>(e->first->lineNumber);
        const auto last = static_cast<std::size_t>(e->last->lineNumber);
        if (e->type == OnlyInFile1) {
            skipUnreportedBlanks(first);
            EXPECT_EQ(first, next1) << where;
            for (std::size_t n = first; n <= last; ++n)
                report += "|<<" + f1[n - 1];
            next1 = last + 1;
            continue;
        }
        EXPECT_EQ(first, next2) << where;
        next2 = last + 1;
        if (e->type == OnlyInFile2) {
            for (std::size_t n = first; n <= last; ++n)
                report += "||>>" + f2[n - 1];
            continue;
        }
        EXPECT_EQ(e->type, Common) << where;
        if (e->file1Line == 0) {
            // A common block without partner: unpaired blank lines of file 2.
            for (std::size_t n = first; n <= last; ++n)
                EXPECT_TRUE(ignoreWhitespace && IsBlank(f2[n - 1])) << where;
            continue;
        }
        const LineBlock* p = Block1At(context, e->file1Line);
        if (!p) {
            ADD_FAILURE() << where << ": no file-1 block at line " << e->file1Line;
            return report;
        }
        skipUnreportedBlanks(static_cast<std::size_t>(p->first->lineNumber));
        EXPECT_EQ(static_cast<std::size_t>(p->first->lineNumber), next1) << where;
        next1 = static_cast<std::size_t>(p->last->lineNumber) + 1;
        // The two sides hold equal lines, blank lines aside.
        std::vector<std::string> side1;
        std::vector<std::string> side2;
        for (std::size_t n = static_cast<std::size_t>(p->first->lineNumber); n < next1; ++n) {
            if (!(ignoreWhitespace && IsBlank(f1[n - 1])))
                side1.push_back(Fold(f1[n - 1], ignoreWhitespace, ignoreCase));
        }
        for (std::size_t n = first; n <= last; ++n) {
            if (!(ignoreWhitespace && IsBlank(f2[n - 1])))
                side2.push_back(Fold(f2[n - 1], ignoreWhitespace, ignoreCase));
        }
        EXPECT_EQ(side1, side2) << where;
        if (!ignoreWhitespace) {
            EXPECT_EQ(last - first, static_cast<std::size_t>(p->last->lineNumber - p->first->lineNumber)) << where;
        }
    }
    skipUnreportedBlanks(f1.size() + 1);
    EXPECT_EQ(next2, f2.size() + 1) << where << ": file-2 lines lost";
    return report;
}

void RunPairs(unsigned seed, int pairs, bool ignoreWhitespace)
{
    RandomPairs random(seed, ignoreWhitespace);
    testenv::TempDir dir;
    for (int i = 0; i < pairs; ++i) {
        const bool ignoreCase = random.Pick(2) == 1;
        const Lines f1 = random.File();
        const Lines f2 = random.Pick(4) == 0 ? random.File() : random.Edited(f1);
        const std::string where = "pair " + std::to_string(i) + ": " + ::testing::PrintToString(f1) + " / " +
                                  ::testing::PrintToString(f2) + (ignoreCase ? " ignoring case" : "");

        CompareSettings settings;
        settings.m_bWriteCommonSections = 0;
        settings.m_bIgnoreWhitespace = ignoreWhitespace;
        settings.m_bIgnoreCase = ignoreCase;
        settings.m_strFile1Path = (dir.path() / "1.csv").string();
        settings.m_strFile2Path = (dir.path() / "2.csv").string();
        Rewrite(settings.m_strFile1Path, Join(f1));
        Rewrite(settings.m_strFile2Path, Join(f2));
        const std::string mergePath = (dir.path() / "merge.txt").string();
        std::filesystem::remove(mergePath);
        {
            OutputFile merge(mergePath, OutputFile::Mode::Untranslated);
            ASSERT_EQ(CompareFiles(settings, merge), 1) << where;
            merge.Close();
        }
        ASSERT_NE(settings.m_context.result, nullptr) << where;
        const std::string expected = CheckResult(settings.m_context, f1, f2, ignoreWhitespace, ignoreCase, where);
        EXPECT_EQ(testenv::ReadFile(mergePath), expected) << where;
        if (!ignoreWhitespace && Fold(Join(f1), false, ignoreCase) == Fold(Join(f2), false, ignoreCase)) {
            EXPECT_EQ(expected, "") << where << ": equal files give a report";
        }
        if (::testing::Test::HasFailure())
            return;
    }
}

TEST(RandomPairs, EveryLineIsReportedOnceInFileOrder)
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
    testenv::TempDir dir;
    for (int i = 0; i < 300; ++i) {
        const Lines f = random.File();
        CompareSettings settings;
        settings.m_bWriteCommonSections = 0;
        settings.m_bIgnoreWhitespace = static_cast<std::int32_t>(random.Pick(2));
        settings.m_bIgnoreCase = static_cast<std::int32_t>(random.Pick(2));
        settings.m_strFile1Path = (dir.path() / "1.csv").string();
        settings.m_strFile2Path = (dir.path() / "2.csv").string();
        Rewrite(settings.m_strFile1Path, Join(f));
        Rewrite(settings.m_strFile2Path, Join(f));
        const std::string mergePath = (dir.path() / "merge.txt").string();
        std::filesystem::remove(mergePath);
        OutputFile merge(mergePath, OutputFile::Mode::Untranslated);
        ASSERT_EQ(CompareFiles(settings, merge), 1);
        merge.Close();
        ASSERT_EQ(testenv::ReadFile(mergePath), "") << ::testing::PrintToString(f);
        for (const LineBlock* e = FirstBlock(settings.m_context.result); e; e = NextBlock(e))
            ASSERT_EQ(e->type, Common);
    }
}

} // namespace
