#include "merge/MergeFileReader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TestEnv.h"
#include "TestRows.h"
#include "common/CompareSettings.h"
#include "common/MergeFileLayout.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

struct Section {
    std::string name;
    std::vector<std::int32_t> keys;
    Rows oldRows;
    Rows newRows;
};

struct ReaderCase {
    const char* name;
    std::string bytes;
    std::vector<Section> sections;
    std::function<void(CompareSettings&)> markers = nullptr;  // changes to the default markers
};

std::vector<Section> Sections(const TableChangesArray& tables)
{
    std::vector<Section> sections;
    for (const TableChanges& table : tables)
        sections.push_back(
            {table.spelledName, table.keyColumns, mergetest::Texts(table.deletes), mergetest::Texts(table.adds)});
    return sections;
}

void PrintTo(const Section& s, std::ostream* os)
{
    *os << s.name << " keys " << testing::PrintToString(s.keys) << " old " << testing::PrintToString(s.oldRows)
        << " new " << testing::PrintToString(s.newRows);
}

bool operator==(const Section& a, const Section& b)
{
    return a.name == b.name && a.keys == b.keys && a.oldRows == b.oldRows && a.newRows == b.newRows;
}

const char* const kHead = "\r\nTable=[Orders]0,1\r\n\r\n";

TEST(ReadMergeFile, ReadsTableSectionsAsTheCompareRunWritesThem)
{
    const std::vector<ReaderCase> cases = {
        {"head with its blank line only", kHead, {{"[Orders]", {0, 1}, {}, {}}}},
        {"changed row and added row",
         std::string(kHead) + "|<<5,\"x\"\r\n||>>5,\"y\"\r\n||>>6,\"z\"\r\n",
         {{"[Orders]", {0, 1}, {{"5", "x"}}, {{"5", "y"}, {"6", "z"}}}}},
        {"two sections of the same name",
         "\r\nTable=[T]0\r\n\r\n|<<1\r\n\r\nTable=[T]0\r\n\r\n||>>2\r\n",
         {{"[T]", {0}, {{"1"}}, {}}, {"[T]", {0}, {}, {{"2"}}}}},
        {"line after a head dropped even when it is a row",
         "\r\nTable=[T]0\r\n|<<1,a\r\n|<<2,b\r\n",
         {{"[T]", {0}, {{"2", "b"}}, {}}}},
        {"head without blank line swallows the next head",
         "\r\nTable=[A]0\r\nTable=[B]1\r\n\r\n|<<1\r\n",
         {{"[A]", {0}, {{"1"}}, {}}}},
        {"LF-only file",
         "\nTable=[T]0\n\n|<<1,\"a\"\n||>>1,\"b\"\n",
         {{"[T]", {0}, {{"1", "a"}}, {{"1", "b"}}}}},
        {"carriage return inside a line stays",
         "\r\nTable=[T]0\r\n\r\n|<<1,a\rb\r\n",
         {{"[T]", {0}, {{"1", "a\rb"}}, {}}}},
        {"lower-case table=[ is a row of the current side",
         "\r\nTable=[T]0\r\n\r\n|<<1\r\ntable=[X]0\r\n",
         {{"[T]", {0}, {{"1"}, {"table=[X]0"}}, {}}}},
        {"prefix alone turns the side on without a row",
         "\r\nTable=[T]0\r\n\r\n||>>\r\n7\r\n",
         {{"[T]", {0}, {}, {{"7"}}}}},
        {"prefix inside a line is text",
         "\r\nTable=[T]0\r\n\r\n|<<1,a|<<b\r\n",
         {{"[T]", {0}, {{"1", "a|<<b"}}, {}}}},
        {"lines without prefix keep the side until an empty line",
         "\r\nTable=[T]0\r\n\r\n|<<1\r\n2\r\n\r\n3\r\n",
         {{"[T]", {0}, {{"1"}, {"2"}}, {}}}},
        {"field splitting of row lines",
         "\r\nTable=[T]0\r\n\r\n|<<\"a,b\",1\r\n|<<a,,b\r\n|<<a,b,\r\n",
         {{"[T]", {0}, {{"a,b", "1"}, {"a", "", "b"}, {"a", "b"}}, {}}}},
        {"trailing comma in the key list gives a last 0", "\r\nTable=[T]0,1,\r\n\r\n", {{"[T]", {0, 1, 0}, {}, {}}}},
        {"key texts by the C library's rule", "\r\nTable=[T] 2,x,-1,3y\r\n\r\n", {{"[T]", {2, 0, -1, 3}, {}, {}}}},
        {"head without key list", "\r\nTable=[Log]\r\n\r\n", {{"[Log]", {}, {}, {}}}},
        {"head without closing bracket", "\r\nTable=[Log\r\n\r\n", {{"[Log", {}, {}, {}}}},
        {"last bracket ends the name", "\r\nTable=[a]b]0\r\n\r\n", {{"[a]b]", {0}, {}, {}}}},
        {"rows before the first head are dropped", "|<<1\r\n\r\nTable=[T]0\r\n\r\n", {{"[T]", {0}, {}, {}}}},
        {"column-name lines are rows too",
         "\r\nTable=[T]0\r\n\r\n|<<ID,NAME\r\n||>>ID,NAME,NOTE\r\n",
         {{"[T]", {0}, {{"ID", "NAME"}}, {{"ID", "NAME", "NOTE"}}}}},
        {"last line without line end", "\r\nTable=[T]0\r\n\r\n||>>9", {{"[T]", {0}, {}, {{"9"}}}}},
        {"quoted value with line breaks continues on the next lines",
         "\r\nTable=[T]0\r\n\r\n|<<1,\"a\r\nb\",2\r\n||>>1,\"x\ny\"\r\n",
         {{"[T]", {0}, {{"1", "a\r\nb", "2"}}, {{"1", "x\ny"}}}}},
        {"continued lines are never heads, prefixes or empty lines",
         "\r\nTable=[T]0\r\n\r\n|<<1,\"a\r\n\r\nTable=[X]\r\n|<<b\"\r\n||>>2\r\n",
         {{"[T]", {0}, {{"1", "a\r\n\r\nTable=[X]\r\n|<<b"}}, {{"2"}}}}},
        {"all four headers and footers",
         "\r\nTable=[T]0\r\n\r\nH1\r\n|<<1\r\nF1\r\nH2\r\n||>>2\r\nF2\r\n3\r\n",
         {{"[T]", {0}, {{"1"}}, {{"2"}}}},
         [](CompareSettings& s) {
             s.m_strFile1SectionHeader = "H1";
             s.m_strFile1SectionFooter = "F1";
             s.m_strFile2SectionHeader = "H2";
             s.m_strFile2SectionFooter = "F2";
         }},
        {"empty prefixes with headers",
         "\r\nTable=[T]0\r\n\r\nH1\r\n1,\"a\"\r\n2\r\nF1\r\nH2\r\n1,\"b\"\r\nF2\r\n",
         {{"[T]", {0}, {{"1", "a"}, {"2"}}, {{"1", "b"}}}},
         [](CompareSettings& s) {
             s.m_strFile1LinePrefix.clear();
             s.m_strFile2LinePrefix.clear();
             s.m_strFile1SectionHeader = "H1";
             s.m_strFile1SectionFooter = "F1";
             s.m_strFile2SectionHeader = "H2";
             s.m_strFile2SectionFooter = "F2";
         }},
        {"both prefixes empty and no headers give no rows",
         "\r\nTable=[T]0\r\n\r\n1\r\n2\r\n",
         {{"[T]", {0}, {}, {}}},
         [](CompareSettings& s) {
             s.m_strFile1LinePrefix.clear();
             s.m_strFile2LinePrefix.clear();
         }},
        {"a line with both prefixes counts as old side",
         "\r\nTable=[T]0\r\n\r\n|<<x\r\n",
         {{"[T]", {0}, {{"<x"}}, {}}},
         [](CompareSettings& s) {
             s.m_strFile1LinePrefix = "|<";
             s.m_strFile2LinePrefix = "|<<";
         }},
    };
    testenv::TempDir dir;
    for (const auto& c : cases) {
        const auto path = dir.path() / "Vantor_Merge.txt";
        testenv::WriteFile(path, c.bytes);
        CompareSettings settings;
        if (c.markers)
            c.markers(settings);
        TableChangesArray tables;
        MergeFileProblem problem;
        EXPECT_TRUE(ReadMergeFile(path.string(), settings, tables, problem)) << c.name << ": " << problem.text;
        EXPECT_EQ(Sections(tables), c.sections) << c.name;
    }
}

TEST(ReadMergeFile, KeepsTheQuoteOfEveryField)
{
    testenv::TempDir dir;
    const auto path = dir.path() / "merge.txt";
    testenv::WriteFile(path, std::string(kHead) + "||>>1,NULL,\"NULL\",\"\"\r\n");
    TableChangesArray tables;
    MergeFileProblem problem;
    ASSERT_TRUE(ReadMergeFile(path.string(), CompareSettings(), tables, problem));
    ASSERT_EQ(tables.size(), 1u);
    using mergetest::Q;
    using mergetest::U;
    ASSERT_EQ(tables[0].adds.size(), 1u);
    EXPECT_EQ(tables[0].adds[0], mergetest::Row({U("1"), U("NULL"), Q("NULL"), Q("")}));
}

// Text may hold NUL bytes (SQLite and MariaDB store them): inside a quoted
// value they are read as they are, also in a value that runs over lines.
TEST(ReadMergeFile, ReadsNulBytesInsideQuotedValues)
{
    using mergetest::Q;
    using mergetest::U;
    const std::string nul(1, '\0');
    testenv::TempDir dir;
    const auto file = dir.path() / "merge.txt";
    testenv::WriteFile(file, MergeFileLayout::SectionHead("T", "0", {"id", "v"}) + "|<<1,\"" + nul + "\"\r\n" +
                                 "||>>2,\"a" + nul + "b\r\nc" + nul + "\"\r\n" + MergeFileLayout::EndMark(1));
    TableChangesArray tables;
    MergeFileProblem problem;
    ASSERT_TRUE(ReadMergeFile(file.string(), CompareSettings(), tables, problem)) << problem.text;
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables[0].deletes, CRowArray({mergetest::Row({U("1"), Q(nul)})}));
    EXPECT_EQ(tables[0].adds, CRowArray({mergetest::Row({U("2"), Q("a" + nul + "b\r\nc" + nul)})}));
}

TEST(ReadMergeFile, ReplacesTheTablesItIsGiven)
{
    testenv::TempDir dir;
    const auto path = dir.path() / "merge.txt";
    testenv::WriteFile(path, "\r\nTable=[B]0\r\n\r\n");
    TableChangesArray tables(1);
    tables[0].spelledName = "[A]";
    MergeFileProblem problem;
    ASSERT_TRUE(ReadMergeFile(path.string(), CompareSettings(), tables, problem));
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables[0].spelledName, "[B]");
    EXPECT_EQ(tables[0].name, "B");
}

TEST(ReadMergeFile, SaysWhyWhenTheFileCannotBeRead)
{
    testenv::TempDir dir;
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty path", ""},
        {"missing file", (dir.path() / "missing.txt").string()},
        {"a directory", dir.str()},
    };
    for (const auto& [name, path] : cases) {
        TableChangesArray tables(1);
        MergeFileProblem problem;
        EXPECT_FALSE(ReadMergeFile(path, CompareSettings(), tables, problem)) << name;
        EXPECT_TRUE(tables.empty()) << name;
        EXPECT_NE(problem.text.find("Cannot read the merge file " + path + ": "), std::string::npos)
            << name << ": " << problem.text;
    }
}

TEST(ReadMergeFile, ReadsRowsLongerThanAnyBuffer)
{
    testenv::TempDir dir;
    const auto path = dir.path() / "merge.txt";
    const std::string longText(700000, 'x');
    testenv::WriteFile(path, std::string(kHead) + "|<<1,\"" + longText + "\"\r\n|<<2,\"" + longText + "\n" +
                                 longText + "\"\r\n");
    TableChangesArray tables;
    MergeFileProblem problem;
    ASSERT_TRUE(ReadMergeFile(path.string(), CompareSettings(), tables, problem));
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(mergetest::Texts(tables[0].deletes),
              (Rows{{"1", longText}, {"2", longText + "\n" + longText}}));
}

// A merge file as the compare run writes it now: heads with column lines and an end mark.
std::string WholeFile()
{
    using namespace MergeFileLayout;
    return SectionHead("customers", "0", {"id", "name", "email"}) + "|<<1,\"Ann\",NULL\r\n" +
           "||>>1,\"Anna\",NULL\r\n" + "||>>2,\"Bob\",\"b@x, \"\"y\"\"\"\r\n" +
           SectionHead("orders", "", {"cust", "note"}) + "|<<1,\"multi\r\nline\"\r\n" + EndMark(2);
}

TEST(ReadMergeFile, ReadsAWholeFileWithItsColumnNames)
{
    testenv::TempDir dir;
    const auto path = dir.path() / "merge.txt";
    testenv::WriteFile(path, WholeFile());
    TableChangesArray tables;
    MergeFileProblem problem;
    ASSERT_TRUE(ReadMergeFile(path.string(), CompareSettings(), tables, problem)) << problem.text;
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables[0].name, "customers");
    EXPECT_EQ(tables[0].columnNames, (std::vector<std::string>{"id", "name", "email"}));
    EXPECT_EQ(tables[0].keyColumns, (std::vector<std::int32_t>{0}));
    EXPECT_EQ(mergetest::Texts(tables[0].deletes), (Rows{{"1", "Ann", "NULL"}}));
    EXPECT_EQ(mergetest::Texts(tables[0].adds), (Rows{{"1", "Anna", "NULL"}, {"2", "Bob", "b@x, \"y\""}}));
    EXPECT_EQ(tables[1].columnNames, (std::vector<std::string>{"cust", "note"}));
    EXPECT_TRUE(tables[1].keyColumns.empty());
    EXPECT_EQ(mergetest::Texts(tables[1].deletes), (Rows{{"1", "multi\r\nline"}}));
}

// A copy that stopped, a full disk, an editor: whatever is left of a whole
// file, line by line or byte by byte, is never merged.
TEST(ReadMergeFile, RefusesEveryPartOfAWholeFile)
{
    testenv::TempDir dir;
    const std::string whole = WholeFile();
    const auto path = dir.path() / "merge.txt";
    std::vector<std::size_t> lineEnds = {0};
    for (std::size_t i = 0; i < whole.size(); ++i)
        if (whole[i] == '\n')
            lineEnds.push_back(i + 1);
    // Every "head -n K" short of the whole file, then every byte count short of its last line.
    std::vector<std::size_t> cuts(lineEnds.begin(), lineEnds.end() - 1);
    const std::size_t lastLine = whole.rfind("End=[");
    for (std::size_t size = 0; size < lastLine + 6; ++size)
        cuts.push_back(size);
    for (const std::size_t size : cuts) {
        testenv::WriteFile(path, whole.substr(0, size));
        TableChangesArray tables;
        MergeFileProblem problem;
        EXPECT_FALSE(ReadMergeFile(path.string(), CompareSettings(), tables, problem)) << size << " bytes";
        EXPECT_TRUE(tables.empty()) << size << " bytes";
        EXPECT_NE(problem.text.find(path.string()), std::string::npos) << problem.text;
    }
}

struct RefusalCase {
    const char* name;
    std::string bytes;
    std::string says;       // a part of the message
    std::size_t line;       // where the file breaks or ends; 0: no line is to blame
};

TEST(ReadMergeFile, RefusesFilesThatAreCutOrBroken)
{
    using namespace MergeFileLayout;
    const std::string head = SectionHead("T", "0", {"id", "v"});
    const std::vector<RefusalCase> cases = {
        {"empty file", "", "holds no table section. It is empty.", 0},
        {"no section", "\r\n", "holds no table section.", 0},
        {"rows without a section", "|<<1,a\r\n||>>2,b\r\n", "holds no table section.", 0},
        {"old file ending in a head", "\r\nTable=[T]0\r\n", "ends at line 2 inside the head of the table T", 2},
        {"old file ending in a quoted value", "\r\nTable=[T]0\r\n\r\n|<<1,\"abc\r\nxyz",
         "ends at line 5 inside a quoted value of the row that starts at line 4", 5},
        {"no end mark", head + "|<<1,\"a\"\r\n", "ends at line 5 without its end mark", 5},
        {"end mark counting other sections", head + EndMark(2), "is an end mark for 2 tables, but the file holds 1",
         6},
        {"text after the end mark", head + EndMark(1) + "||>>3,\"c\"\r\n", "line 7 follows the end mark", 7},
        {"row with a value too few", head + "|<<1\r\n" + EndMark(1),
         "line 5 holds a row of 1 values, but the table T has 2 columns", 5},
        {"row of neither side", head + "1,\"a\"\r\n" + EndMark(1), "line 5 holds a row of neither side", 5},
        {"a later head without its column line", head + "\r\nTable=[U]0\r\n\r\n" + EndMark(2),
         "line 7 should name the columns of the table U", 7},
        {"a column line that cannot be read", "\r\nTable=[T]0\r\nColumns=\"id\r\n\r\n" + EndMark(1),
         "line 3 is a column line of the table T that cannot be read", 3},
        // Only a quoted value may hold a NUL byte (text that holds one).
        {"a NUL byte in an unquoted value", head + "|<<1" + std::string(1, '\0') + ",\"ab\"\r\n" + EndMark(1),
         "is not a text file: line 5 holds a NUL byte", 5},
        {"a NUL byte before a quoted value", head + "|<<1,x" + std::string(1, '\0') + "\"ab\"\r\n" + EndMark(1),
         "is not a text file: line 5 holds a NUL byte", 5},
        {"a NUL byte in a head", "\r\nTable=[T" + std::string(1, '\0') + "]0\r\nColumns=\"id\"\r\n\r\n" +
             EndMark(1), "is not a text file: line 2 holds a NUL byte", 2},
        {"a NUL byte in a column line", "\r\nTable=[T]0\r\nColumns=\"i" + std::string(1, '\0') + "d\"\r\n\r\n" +
             EndMark(1), "is not a text file: line 3 holds a NUL byte", 3},
    };
    testenv::TempDir dir;
    const auto path = dir.path() / "merge.txt";
    for (const auto& c : cases) {
        testenv::WriteFile(path, c.bytes);
        TableChangesArray tables;
        MergeFileProblem problem;
        EXPECT_FALSE(ReadMergeFile(path.string(), CompareSettings(), tables, problem)) << c.name;
        EXPECT_TRUE(tables.empty()) << c.name;
        EXPECT_NE(problem.text.find(c.says), std::string::npos) << c.name << ": " << problem.text;
        EXPECT_NE(problem.text.find(path.string()), std::string::npos) << c.name << ": " << problem.text;
        EXPECT_EQ(problem.line, c.line) << c.name << ": " << problem.text;
    }
}

// A sparse file of zeros or a file larger than the merge may hold is refused
// before its content is in memory.
TEST(ReadMergeFile, RefusesWhatDoesNotFitBeforeReadingIt)
{
    testenv::TempDir dir;
    MergeFileLimits limits;
    limits.memoryBytes = 1 << 20;
    const auto sparse = dir.path() / "sparse.txt";
    {
        testenv::WriteFile(sparse, "");
        std::filesystem::resize_file(sparse, 512u << 10);
    }
    const auto large = dir.path() / "large.txt";
    testenv::WriteFile(large, "\r\nTable=[T]0\r\n\r\n|<<" + std::string(2u << 20, 'x') + "\r\n");
    std::string rows = MergeFileLayout::SectionHead("T", "0", {"v"});
    // Short rows take much more memory than file: a row and a string per value.
    while (rows.size() < (700u << 10))
        rows += "|<<1\r\n";
    const auto many = dir.path() / "many.txt";
    testenv::WriteFile(many, rows + MergeFileLayout::EndMark(1));
    const std::vector<std::pair<std::filesystem::path, std::string>> cases = {
        {sparse, "is not a text file: line 1 holds a NUL byte."},
        {large, "is larger than the memory a merge can use (1 MB)"},
        {many, "needs more memory than a merge can use (1 MB)"},
    };
    for (const auto& [path, says] : cases) {
        TableChangesArray tables;
        MergeFileProblem problem;
        EXPECT_FALSE(ReadMergeFile(path.string(), CompareSettings(), tables, problem, limits)) << path;
        EXPECT_NE(problem.text.find(says), std::string::npos) << problem.text;
    }
    // The same file of rows fits a larger limit.
    limits.memoryBytes = 32 << 20;
    TableChangesArray tables;
    MergeFileProblem problem;
    EXPECT_TRUE(ReadMergeFile(many.string(), CompareSettings(), tables, problem, limits)) << problem.text;
}

} // namespace
