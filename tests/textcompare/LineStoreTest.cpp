#include "textcompare/FileProbe.h"
#include "textcompare/FileRecord.h"
#include "textcompare/LineCompare.h"
#include "textcompare/LineReader.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <vector>

#include "EngineTestSupport.h"

namespace {

using enginetest::Ptr;

struct LoadedLine {
    std::string text;
    std::int32_t lineNumber;
    bool operator==(const LoadedLine&) const = default;
};

std::ostream& operator<<(std::ostream& out, const LoadedLine& l)
{
    return out << l.lineNumber << ":" << ::testing::PrintToString(l.text);
}

// Loads bytes through a file record and returns its lines.
std::vector<LoadedLine> Load(const std::string& bytes)
{
    testenv::TempDir dir;
    const std::string path = (dir.path() / "dump.csv").string();
    testenv::WriteFile(path, bytes);
    FileRecord* file = NewFileRecord(path);
    EXPECT_NE(file, nullptr);
    LineList* lines = GetLines(file);
    EXPECT_NE(lines, nullptr);
    std::vector<LoadedLine> result;
    for (const LineRecord* line = FirstLine(lines); line; line = NextLine(line)) {
        EXPECT_EQ(Ptr(line->partner), nullptr);
        EXPECT_EQ(line->flags, 0);
        result.push_back({line->text, line->lineNumber});
    }
    FreeFileRecord(file);
    EXPECT_EQ(file, nullptr);
    return result;
}

struct LoadCase {
    const char* name;
    std::string bytes;
    std::vector<LoadedLine> lines;
};

TEST(LoadLines, SplitsDumpRowsIntoNumberedLines)
{
    const std::string longRow = "1,\"" + std::string(1292, 'x') + "\"\r\n";  // 1,300 bytes
    const std::string hugeRow = "2," + std::string(200000, 'y') + "\n";      // beyond the first buffer
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
    };
    for (const auto& c : cases)
        EXPECT_EQ(Load(c.bytes), c.lines) << c.name;
}

// A line's text ends at a NUL byte, so a line holding one would be compared and
// written without its rest and its line end: the file keeps no lines instead.
TEST(LoadLines, AFileWithANulByteKeepsNoLines)
{
    testenv::TempDir dir;
    const std::string path = (dir.path() / "dump.csv").string();
    testenv::WriteFile(path, std::string("ab\r\ncd\0ef\r\ngh\r\n", 14));
    FileRecord* file = NewFileRecord(path);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(GetLines(file), nullptr);
    FreeFileRecord(file);
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

TEST(LoadLines, AMissingFileHasNoLinesAndIsTriedAgain)
{
    testenv::TempDir dir;
    const std::string path = (dir.path() / "later.csv").string();
    FileRecord* file = NewFileRecord(path);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(GetLines(file), nullptr);
    testenv::WriteFile(path, "now\r\n");
    LineList* lines = GetLines(file);
    ASSERT_NE(lines, nullptr);
    EXPECT_STREQ(FirstLine(lines)->text, "now\r\n");
    FreeFileRecord(file);
}

TEST(LoadLines, KeepsNoLinesWhenReadingFails)
{
    enginetest::CapturedHooks hooks;
    testenv::TempDir dir;
    // A directory opens for reading, but reading it fails.
    FileRecord* file = NewFileRecord(dir.str());
    EXPECT_EQ(GetLines(file), nullptr);
    EXPECT_EQ(hooks.debug, "Cannot read " + dir.str() + "\n");
    EXPECT_EQ(g_listPool.liveBlocks, 0);
    FreeFileRecord(file);
}

// The pool's system allocator for the next test: gives out a few blocks, then none.
int g_blocksLeft = 0;

void* FewBlocks(std::size_t size)
{
    return g_blocksLeft-- > 0 ? PoolSystemAlloc(size) : nullptr;
}

TEST(LoadLines, KeepsNoLinesWhenMemoryRunsOutOnTheWay)
{
    enginetest::CapturedHooks hooks;
    testenv::TempDir dir;
    const std::string path = (dir.path() / "big.csv").string();
    std::string bytes;
    for (int i = 0; i < 3000; ++i)  // several pool blocks of line cells
        bytes += std::to_string(i) + "\r\n";
    testenv::WriteFile(path, bytes);
    FileRecord* file = NewFileRecord(path);
    g_blocksLeft = 2;
    g_listPool.systemAlloc = FewBlocks;
    EXPECT_EQ(GetLines(file), nullptr);
    g_listPool.systemAlloc = PoolSystemAlloc;
    EXPECT_EQ(hooks.debug, "GlobalAlloc failed!!\n");
    EXPECT_EQ(g_listPool.liveBlocks, 0);
    // With memory again, the next call loads the whole file.
    LineList* lines = GetLines(file);
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(LastLine(lines)->lineNumber, 3000);
    FreeFileRecord(file);
}

TEST(NewFileRecord, RefusesAPathLongerThan1023Characters)
{
    const std::string longest = "/tmp/" + std::string(1018, 'p');
    ASSERT_EQ(longest.size(), 1023u);
    FileRecord* file = NewFileRecord(longest);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->path, longest);
    EXPECT_EQ(file->lines, nullptr);
    FreeFileRecord(file);
    EXPECT_EQ(NewFileRecord(longest + "q"), nullptr);
}

TEST(ResetLines, ForgetsPartnersAndHashes)
{
    enginetest::OptionsScope options(false, false);
    testenv::TempDir dir;
    const std::string path = (dir.path() / "f.csv").string();
    testenv::WriteFile(path, "a\r\nb\r\n");
    FileRecord* file = NewFileRecord(path);
    LineRecord* a = FirstLine(GetLines(file));
    LineRecord* alone = NewLineRecord("a\r\n", 3, 1, nullptr, nullptr);
    ASSERT_NE(alone, nullptr);
    EXPECT_EQ(alone->flags, kLineAllocatedAlone);
    ASSERT_TRUE(LinkLines(a, alone));
    EXPECT_EQ(a->flags, kLineHashValid);
    ResetLines(file);
    EXPECT_EQ(Ptr(a->partner), nullptr);
    EXPECT_EQ(a->flags, 0);
    EXPECT_EQ(NextLine(a)->flags, 0);
    FreeLineRecord(alone);
    FreeFileRecord(file);
}

TEST(NewLineRecord, CopiesUpToANulByteAndNeedsTextStorageForAList)
{
    LineRecord* line = NewLineRecord("abc\0def", 7, 4, nullptr, nullptr);
    ASSERT_NE(line, nullptr);
    EXPECT_STREQ(line->text, "abc");
    EXPECT_EQ(line->lineNumber, 4);
    EXPECT_EQ(Ptr(line->partner), nullptr);
    FreeLineRecord(line);

    LineList* list = ListNew();
    EXPECT_EQ(NewLineRecord("x", 1, 1, list, nullptr), nullptr);
    TextArena texts;
    const std::string big(600000, 'b');  // a text with a chunk of its own
    LineRecord* small = NewLineRecord("s\n", 2, 1, list, &texts);
    LineRecord* large = NewLineRecord(big.data(), big.size(), 2, list, &texts);
    LineRecord* after = NewLineRecord("t\n", 2, 3, list, &texts);
    ASSERT_TRUE(small && large && after);
    EXPECT_STREQ(small->text, "s\n");
    EXPECT_EQ(std::string(large->text), big);
    EXPECT_STREQ(after->text, "t\n");
    EXPECT_EQ(Ptr(after->text), small->text + 3);  // small texts share a chunk
    ListFree(list);
    ArenaFree(texts);
}

struct ProbeCase {
    const char* name;
    std::string bytes;
    bool binary;
    bool bareLf;
};

TEST(ProbeFile, TellsBinaryFilesAndBareLineFeeds)
{
    const std::vector<ProbeCase> cases = {
        {"CR LF text", "a,b\r\nc\r\n", false, false},
        {"bare LF", "x\ny", false, true},
        {"no LF at all", "abc", false, false},
        {"LF as first byte", "\nabc\n", false, false},
        {"NUL byte", std::string("ab\0c\n", 5), true, true},
        {"byte 0x08", "ab\x08\r\n", true, false},
        {"tab, CR, 0x1F, 0x7F and 0xA0 are text", "\t\x1f\x7f\xa0\r\n", false, false},
        {"binary byte beyond 1,024 bytes", std::string(1024, 'a') + std::string(1, '\x01'), false, false},
        {"binary byte at byte 1,024", std::string(1023, 'a') + std::string(1, '\x01'), true, false},
    };
    testenv::TempDir dir;
    const std::string path = (dir.path() / "p.csv").string();
    for (const auto& c : cases) {
        testenv::WriteFile(path, c.bytes);
        bool bareLf = false;
        EXPECT_EQ(ProbeFile(path, &bareLf), c.binary) << c.name;
        EXPECT_EQ(bareLf, c.bareLf) << c.name;
        EXPECT_EQ(ProbeFile(path, nullptr), c.binary) << c.name;
    }
    // The answer is only ever set, never cleared.
    testenv::WriteFile(path, "a\r\n");
    bool bareLf = true;
    EXPECT_FALSE(ProbeFile(path, &bareLf));
    EXPECT_TRUE(bareLf);
    // An unreadable file counts as text.
    bareLf = false;
    EXPECT_FALSE(ProbeFile((dir.path() / "missing.csv").string(), &bareLf));
    EXPECT_FALSE(bareLf);
}

TEST(LineReader, DeliversRowsThenNothing)
{
    testenv::TempDir dir;
    const std::string path = (dir.path() / "r.csv").string();
    testenv::WriteFile(path, "1\r\n\"a\nb\"\nend");
    LineReaderHandle reader(ReaderOpen(::open(path.c_str(), O_RDONLY)));
    ASSERT_TRUE(reader);
    std::vector<std::string> rows;
    std::size_t length = 0;
    while (const char* row = ReaderNextLine(reader.get(), &length))
        rows.emplace_back(row, length);
    EXPECT_EQ(rows, (std::vector<std::string>{"1\r\n", "\"a\nb\"\n", "end"}));
    EXPECT_EQ(ReaderNextLine(reader.get(), &length), nullptr);
    EXPECT_FALSE(ReaderFailed(reader.get()));
}

} // namespace
