#include "merge/MergeFileReader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TestEnv.h"
#include "TestRows.h"
#include "common/CompareSettings.h"

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

std::vector<Section> Sections(const CTableRowsArray& oldTables, const CTableRowsArray& newTables)
{
    std::vector<Section> sections;
    EXPECT_EQ(oldTables.size(), newTables.size());
    for (std::size_t i = 0; i < oldTables.size() && i < newTables.size(); ++i) {
        EXPECT_EQ(oldTables[i].m_strTable, newTables[i].m_strTable);
        EXPECT_EQ(oldTables[i].m_keyColumns, newTables[i].m_keyColumns);
        sections.push_back({oldTables[i].m_strTable, oldTables[i].m_keyColumns, mergetest::Texts(oldTables[i]),
                            mergetest::Texts(newTables[i])});
    }
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
        {"no section head", "|<<1,a\r\n||>>2,b\r\n", {}},
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
        {"head at the very end", "\r\nTable=[T]0", {{"[T]", {0}, {}, {}}}},
        {"quoted value with line breaks continues on the next lines",
         "\r\nTable=[T]0\r\n\r\n|<<1,\"a\r\nb\",2\r\n||>>1,\"x\ny\"\r\n",
         {{"[T]", {0}, {{"1", "a\r\nb", "2"}}, {{"1", "x\ny"}}}}},
        {"continued lines are never heads, prefixes or empty lines",
         "\r\nTable=[T]0\r\n\r\n|<<1,\"a\r\n\r\nTable=[X]\r\n|<<b\"\r\n||>>2\r\n",
         {{"[T]", {0}, {{"1", "a\r\n\r\nTable=[X]\r\n|<<b"}}, {{"2"}}}}},
        {"quoted value left open at the end of the file",
         "\r\nTable=[T]0\r\n\r\n|<<1,\"abc\r\nxyz",
         {{"[T]", {0}, {{"1", "\"abc\r\nxyz"}}, {}}}},
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
        CTableRowsArray oldTables, newTables;
        EXPECT_EQ(ReadMergeFile(path.string(), settings, oldTables, newTables), 1) << c.name;
        EXPECT_EQ(Sections(oldTables, newTables), c.sections) << c.name;
    }
}

TEST(ReadMergeFile, KeepsTheQuoteOfEveryField)
{
    testenv::TempDir dir;
    const auto path = dir.path() / "merge.txt";
    testenv::WriteFile(path, std::string(kHead) + "||>>1,NULL,\"NULL\",\"\"\r\n");
    CTableRowsArray oldTables, newTables;
    ASSERT_EQ(ReadMergeFile(path.string(), CompareSettings(), oldTables, newTables), 1);
    ASSERT_EQ(newTables.size(), 1u);
    using mergetest::Q;
    using mergetest::U;
    ASSERT_EQ(newTables[0].size(), 1u);
    EXPECT_EQ(newTables[0][0], mergetest::Row({U("1"), U("NULL"), Q("NULL"), Q("")}));
}

TEST(ReadMergeFile, AppendsToTheListsItIsGiven)
{
    testenv::TempDir dir;
    const auto path = dir.path() / "merge.txt";
    testenv::WriteFile(path, "\r\nTable=[B]0\r\n\r\n");
    CTableRowsArray oldTables(1), newTables(1);
    oldTables[0].m_strTable = newTables[0].m_strTable = "[A]";
    ASSERT_EQ(ReadMergeFile(path.string(), CompareSettings(), oldTables, newTables), 1);
    ASSERT_EQ(oldTables.size(), 2u);
    EXPECT_EQ(oldTables[0].m_strTable, "[A]");
    EXPECT_EQ(newTables[1].m_strTable, "[B]");
}

TEST(ReadMergeFile, FailsWithoutMessageWhenTheFileCannotBeRead)
{
    testenv::TempDir dir;
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty path", ""},
        {"missing file", (dir.path() / "missing.txt").string()},
        {"a directory", dir.str()},
    };
    for (const auto& [name, path] : cases) {
        CTableRowsArray oldTables, newTables;
        EXPECT_EQ(ReadMergeFile(path, CompareSettings(), oldTables, newTables), 0) << name;
        EXPECT_TRUE(oldTables.empty()) << name;
        EXPECT_TRUE(newTables.empty()) << name;
    }
}

TEST(ReadMergeFile, ReadsRowsLongerThanAnyBuffer)
{
    testenv::TempDir dir;
    const auto path = dir.path() / "merge.txt";
    const std::string longText(700000, 'x');
    testenv::WriteFile(path, std::string(kHead) + "|<<1,\"" + longText + "\"\r\n|<<2,\"" + longText + "\n" +
                                 longText + "\"\r\n");
    CTableRowsArray oldTables, newTables;
    ASSERT_EQ(ReadMergeFile(path.string(), CompareSettings(), oldTables, newTables), 1);
    ASSERT_EQ(oldTables.size(), 1u);
    EXPECT_EQ(mergetest::Texts(oldTables[0]),
              (Rows{{"1", longText}, {"2", longText + "\n" + longText}}));
}

} // namespace
