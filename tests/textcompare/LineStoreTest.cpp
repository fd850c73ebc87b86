#include "textcompare/LineStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "textcompare/OffsetHighBits.h"

namespace {

struct LoadedLine {
    std::string text;
    std::int64_t lineNumber;
    bool operator==(const LoadedLine&) const = default;
};

std::ostream& operator<<(std::ostream& out, const LoadedLine& l)
{
    return out << l.lineNumber << ":" << ::testing::PrintToString(l.text);
}

std::vector<LoadedLine> LinesOf(const FileLines& file)
{
    std::vector<LoadedLine> result;
    for (LineIndex line = 0; line < file.Count(); ++line) {
        EXPECT_FALSE(file.IsPaired(line));
        result.push_back({std::string(file.Text(line)), std::int64_t(line) + 1});
    }
    return result;
}

// Loads bytes through a file and returns its lines.
std::vector<LoadedLine> Load(const std::string& bytes)
{
    testenv::TempDir dir;
    const std::string path = (dir.path() / "dump.csv").string();
    testenv::WriteFile(path, bytes);
    FileLines file;
    std::string error;
    EXPECT_EQ(file.Load(path, LineRules(), error), FileLines::LoadResult::Loaded) << error;
    EXPECT_EQ(file.AllBytes(), bytes);
    return LinesOf(file);
}

struct LoadCase {
    const char* name;
    std::string bytes;
    std::vector<LoadedLine> lines;
};

TEST(LoadLines, SplitsDumpRowsIntoNumberedLines)
{
    const std::string longRow = "1,\"" + std::string(1292, 'x') + "\"\r\n";  // 1,300 bytes
    const std::string hugeRow = "2," + std::string(200000, 'y') + "\n";      // beyond any small buffer
    const std::vector<LoadCase> cases = {
        {"empty file", "", {}},
        {"CR LF and a last line without terminator", "a\r\nb", {{"a\r\n", 1}, {"b", 2}}},
        {"bare LF lines", "x\ny\n", {{"x\n", 1}, {"y\n", 2}}},
        {"empty lines count", "\r\n\r\nz\r\n", {{"\r\n", 1}, {"\r\n", 2}, {"z\r\n", 3}}},
        // A long row is one line, not pieces of 512 bytes.
        {"row of 1,300 bytes", longRow + "3\r\n", {{longRow, 1}, {"3\r\n", 2}}},
        {"row of 200,002 bytes", hugeRow + "4\n", {{hugeRow, 1}, {"4\n", 2}}},
        // A line break inside a quoted value does not end the row.
        {"quoted CR LF", "1,\"two\r\nlines\",9\r\n2,\"x\"\r\n",
         {{"1,\"two\r\nlines\",9\r\n", 1}, {"2,\"x\"\r\n", 2}}},
        {"quoted value open at the end", "1,\"open\r\nrest", {{"1,\"open\r\nrest", 1}}},
        {"CR alone is an ordinary byte", "a\rb\r\n", {{"a\rb\r\n", 1}}},
        {"a quoted LF among rows", "1\r\n\"a\nb\"\nend", {{"1\r\n", 1}, {"\"a\nb\"\n", 2}, {"end", 3}}},
        // Control bytes and NUL are data: the line keeps its rest and its end.
        {"NUL inside a line", std::string("ab\r\ncd\0ef\r\ngh\r\n", 15),
         {{"ab\r\n", 1}, {std::string("cd\0ef\r\n", 7), 2}, {"gh\r\n", 3}}},
        {"bell and other control bytes", "1,\"\x07\x01\x08\"\r\n", {{"1,\"\x07\x01\x08\"\r\n", 1}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Load(c.bytes), c.lines) << c.name;
}

TEST(LoadLines, KeepsManyLinesInOrder)
{
    std::string bytes;
    for (int i = 1; i <= 30000; ++i)
        bytes += std::to_string(i) + ",\"row " + std::to_string(i) + "\"\r\n";
    const auto lines = Load(bytes);
    ASSERT_EQ(lines.size(), 30000u);
    for (int i = 1; i <= 30000; ++i)
        ASSERT_EQ(lines[i - 1], (LoadedLine{std::to_string(i) + ",\"row " + std::to_string(i) + "\"\r\n", i}));
}

TEST(LoadLines, AFileThatCannotBeReadSaysWhy)
{
    testenv::TempDir dir;
    FileLines file;
    std::string error;
    EXPECT_EQ(file.Load((dir.path() / "missing.csv").string(), LineRules(), error),
              FileLines::LoadResult::CannotRead);
    EXPECT_EQ(error, "No such file or directory");
    // A directory opens, but it holds no dump.
    EXPECT_EQ(file.Load(dir.str(), LineRules(), error), FileLines::LoadResult::CannotRead);
    EXPECT_EQ(error, "Is a directory");
    EXPECT_EQ(file.Count(), 0u);
}

TEST(LoadLines, KeysFollowTheRules)
{
    LineRules rules;
    rules.ignoreWhitespace = true;
    rules.ignoreCase = true;
    FileLines file;
    ASSERT_EQ(file.Split(" A b\r\nab\nAB\r\nabc\n", rules), FileLines::LoadResult::Loaded);
    EXPECT_EQ(file.Key(0), file.Key(1));
    EXPECT_EQ(file.Key(1), file.Key(2));
    EXPECT_NE(file.Key(2), file.Key(3));
    FileLines exact;
    ASSERT_EQ(exact.Split(" A b\r\nab\n", LineRules()), FileLines::LoadResult::Loaded);
    EXPECT_NE(exact.Key(0), exact.Key(1));
}

// Another process may shorten a dump while it is compared. A file read into
// memory keeps its lines; one mapped from the file would end the program with
// SIGBUS at the next read of a page past the new end.
TEST(LoadLines, AFileShortenedAfterLoadingKeepsItsLines)
{
    testenv::TempDir dir;
    const std::string path = (dir.path() / "dump.csv").string();
    std::string rows;
    for (int i = 0; i < 20000; ++i)  // some pages, far below the size that is mapped
        rows += "row " + std::to_string(i) + ",\"some text\"\r\n";
    ASSERT_LT(rows.size(), FileLines::kReadLimit);
    testenv::WriteFile(path, rows);
    FileLines file;
    std::string error;
    ASSERT_EQ(file.Load(path, LineRules(), error), FileLines::LoadResult::Loaded);
    std::filesystem::resize_file(path, 0);
    ASSERT_EQ(file.Count(), 20000u);
    EXPECT_EQ(file.Text(0), "row 0,\"some text\"\r\n");
    EXPECT_EQ(file.Text(19999), "row 19999,\"some text\"\r\n");
    EXPECT_EQ(file.AllBytes(), rows);
}

// Between splitting and matching the compare gives back the memory of the old
// file's text. Read into memory (small or large) or mapped, the text must read
// the same after.
TEST(LoadLines, TextReadsTheSameAfterItsMemoryIsGivenBack)
{
    for (const std::size_t size : {std::size_t(20000), std::size_t(3) << 20, FileLines::kReadLimit + 4096}) {
        testenv::TempDir dir;
        const std::string path = (dir.path() / "dump.csv").string();
        std::string bytes;
        std::string last;
        for (std::size_t i = 0; bytes.size() < size; ++i) {
            last = std::to_string(i) + ",\"row " + std::to_string(i * 7) + "\"\r\n";
            bytes += last;
        }
        testenv::WriteFile(path, bytes);
        FileLines file;
        std::string error;
        ASSERT_EQ(file.Load(path, LineRules(), error), FileLines::LoadResult::Loaded) << error;
        file.ReleaseText();
        SCOPED_TRACE(std::to_string(bytes.size()) + " bytes");
        EXPECT_EQ(file.Text(file.Count() - 1), last);
        EXPECT_TRUE(file.AllBytes() == bytes);  // not EXPECT_EQ: no 16 MB dump on failure
    }
}

// Line cells keep 32 bits of a line's offset; files of 4 GiB and more get the
// rest back from the table of high bits.
TEST(OffsetHighBits, GivesBackEveryOffsetFromItsLowBits)
{
    constexpr std::uint64_t k4G = std::uint64_t(1) << 32;
    const std::vector<std::vector<std::uint64_t>> files = {
        {0, 90, 180, 4000},                                   // a usual file: no table
        {0, k4G - 1, k4G, k4G + 90},                          // a line that starts at the mark
        {0, 100, k4G + 5, k4G + 100, 2 * k4G - 1, 2 * k4G},  // a line across the mark
        {0, 7, 3 * k4G + 7, 3 * k4G + 9},                    // a line of more than 8 GiB
    };
    for (const auto& offsets : files) {
        OffsetHighBits high;
        std::vector<std::uint32_t> low;
        for (std::uint32_t line = 0; line < offsets.size(); ++line)
            low.push_back(high.Add(line, offsets[line]));
        for (std::uint32_t line = 0; line < offsets.size(); ++line)
            EXPECT_EQ(high.Offset(line, low[line]), offsets[line]) << "line " << line << " of " << offsets.size();
    }
}

} // namespace
