#include "common/MergeFileLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace MergeFileLayout;

struct HeadCase {
    const char* name;
    std::string table;
    std::vector<std::int32_t> keys;
    std::string head;         // as written
    std::string spelledName;  // as the head spells it
};

TEST(MergeFileLayout, SectionHeadsReadBackAsWritten)
{
    const std::vector<HeadCase> cases = {
        {"plain name and two keys", "Orders", {0, 1}, "\r\nTable=[Orders]0,1\r\n\r\n", "[Orders]"},
        {"no key columns", "Log", {}, "\r\nTable=[Log]\r\n\r\n", "[Log]"},
        {"closing bracket doubled", "we]ird", {0}, "\r\nTable=[we]]ird]0\r\n\r\n", "[we]]ird]"},
        {"opening bracket as it is", "br[ack]et", {0}, "\r\nTable=[br[ack]]et]0\r\n\r\n", "[br[ack]]et]"},
        {"doubled bracket in the name", "a]]b", {2}, "\r\nTable=[a]]]]b]2\r\n\r\n", "[a]]]]b]"},
        {"bracket at the end", "x]", {0, 3}, "\r\nTable=[x]]]0,3\r\n\r\n", "[x]]]"},
        {"only brackets", "[]", {}, "\r\nTable=[[]]]\r\n\r\n", "[[]]]"},
        {"blanks and a comma", "my table,2", {0}, "\r\nTable=[my table,2]0\r\n\r\n", "[my table,2]"},
    };
    for (const auto& c : cases) {
        const std::string head = SectionHead(c.table, KeyColumnListText(c.keys));
        EXPECT_EQ(head, c.head) << c.name;
        const std::string line = head.substr(2, head.size() - 6);  // as the reader sees the line
        ASSERT_TRUE(IsSectionHead(line)) << c.name;
        const SectionHeadFields fields = ParseSectionHead(line);
        EXPECT_EQ(fields.name, c.table) << c.name;
        EXPECT_EQ(fields.spelledName, c.spelledName) << c.name;
        EXPECT_EQ(fields.keyColumns, c.keys) << c.name;
    }
}

struct ParseCase {
    const char* name;
    std::string line;
    std::string spelledName;
    std::string plainName;
    std::vector<std::int32_t> keys;
};

TEST(MergeFileLayout, HeadsNotWrittenByThisProgramStillRead)
{
    const std::vector<ParseCase> cases = {
        {"no closing bracket", "Table=[Log", "[Log", "[Log", {}},
        {"single bracket inside the name", "Table=[a]b]0", "[a]b]", "a]b", {0}},
        {"trailing comma gives a last 0", "Table=[T]0,1,", "[T]", "T", {0, 1, 0}},
        {"numbers by the C library's rule", "Table=[T] 2,x,-1,3y", "[T]", "T", {2, 0, -1, 3}},
        {"nothing after the start", "Table=[", "[", "[", {}},
    };
    for (const auto& c : cases) {
        const SectionHeadFields fields = ParseSectionHead(c.line);
        EXPECT_EQ(fields.spelledName, c.spelledName) << c.name;
        EXPECT_EQ(fields.name, c.plainName) << c.name;
        EXPECT_EQ(fields.keyColumns, c.keys) << c.name;
    }
    EXPECT_FALSE(IsSectionHead("table=[T]0"));
    EXPECT_FALSE(IsSectionHead("Table="));
}

struct FieldCase {
    const char* name;
    std::string value;
    std::string written;
};

TEST(MergeFileLayout, QuotedFieldsReadBackAsWritten)
{
    const std::vector<FieldCase> cases = {
        {"two apostrophes", "a''b", "\"a''b\""},
        {"double quotes inside apostrophes", "'\"hi\"'", "\"'\"\"hi\"\"'\""},
        {"two double quotes", "\"\"", "\"\"\"\"\"\""},
        {"four apostrophes", "''''", "\"''''\""},
        {"one double quote", "\"", "\"\"\"\""},
        {"only two apostrophes", "''", "\"''\""},
        {"empty", "", "\"\""},
        {"separator after a double quote", "a\",b", "\"a\"\",b\""},
        {"line break after a double quote", "say \"hi\"\r\nbye", "\"say \"\"hi\"\"\r\nbye\""},
        {"the text NULL", "NULL", "\"NULL\""},
    };
    for (const auto& c : cases) {
        std::string written;
        AppendQuotedField(written, c.value);
        EXPECT_EQ(written, c.written) << c.name;
        for (const std::string& rest : {std::string(), std::string(",next")}) {
            std::string value = "stale";
            EXPECT_EQ(ReadQuotedField(written + rest, ",", value), written.size()) << c.name << rest;
            EXPECT_EQ(value, c.value) << c.name << rest;
        }
    }
}

TEST(MergeFileLayout, TextThatIsNoQuotedFieldIsRefused)
{
    const std::vector<std::string> texts = {"\"abc", "\"a\"b,c", "\"a\"\"", "\"", "\"a\";b"};
    for (const std::string& text : texts) {
        std::string value;
        EXPECT_EQ(ReadQuotedField(text, ",", value), npos) << text;
    }
}

struct NeedsQuotesCase {
    const char* name;
    std::string value;
    bool quoted;
    std::string separator = ",";
};

TEST(MergeFileLayout, UnquotedTypesAreQuotedWhereTheyWouldBeMisread)
{
    const std::vector<NeedsQuotesCase> cases = {
        {"number", "-12.5e3", false},
        {"date", "2001-03-15 10:20:30", false},
        {"binary", "0x0102", false},
        {"apostrophes", "a''b", false},
        {"double quote", "1\"", true},
        {"separator", "1,5", true},
        {"line feed", "a\nb", true},
        {"carriage return", "a\rb", true},
        {"empty", "", true},
        {"the text NULL", "NULL", true},
        {"null in lower case", "null", false},
        {"tab separator", "a\tb", true, "\t"},
        {"comma under a tab separator", "1,5", false, "\t"},
        {"two-byte separator", "a;;b", true, ";;"},
        {"half of a two-byte separator", "a;b", false, ";;"},
        {"quote under a two-byte separator", "a\"b", true, ";;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NeedsQuotes(c.value, c.separator), c.quoted) << c.name;
}

} // namespace

namespace {

TEST(MergeFileLayout, ColumnLinesReadBackAsWritten)
{
    const std::vector<std::vector<std::string>> cases = {
        {"id", "name", "email"},
        {"a,b", "say \"hi\"", "", "NULL"},
        {"one"},
        {},
    };
    for (const auto& names : cases) {
        const std::string head = SectionHead("T", "0", names);
        // Head line, column line, blank line; the column line reads back as written.
        const std::string expectedStart = "\r\nTable=[T]0\r\n" + ColumnsLine(names) + "\r\n\r\n";
        EXPECT_EQ(head, expectedStart);
        std::vector<std::string> read = {"left over"};
        EXPECT_TRUE(ParseColumnsLine(ColumnsLine(names), read)) << ColumnsLine(names);
        EXPECT_EQ(read, names);
    }
    std::vector<std::string> read;
    for (const char* bad : {"Columns=id", "Columns=\"id", "Columns=\"id\",", "Columns=\"a\"x", "Column=\"a\"",
                            "Columns=\"a\",,\"b\""})
        EXPECT_FALSE(ParseColumnsLine(bad, read)) << bad;
}

TEST(MergeFileLayout, EndMarksReadOnlyWhole)
{
    EXPECT_EQ(EndMark(3), "\r\nEnd=[3]\r\n");
    std::size_t sections = 99;
    EXPECT_TRUE(ParseEndMark("End=[0]", sections));
    EXPECT_EQ(sections, 0u);
    EXPECT_TRUE(ParseEndMark("End=[12]", sections));
    EXPECT_EQ(sections, 12u);
    for (const char* cut : {"End=[", "End=[1", "End=[]", "End=[1]x", "End=[-1]", "End=[ 1]", "end=[1]", ""})
        EXPECT_FALSE(ParseEndMark(cut, sections)) << cut;
}

} // namespace
