#include "merge/FieldSplitting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestRows.h"

namespace {

using mergetest::Field;
using mergetest::Q;
using mergetest::U;

struct SplitCase {
    const char* name;
    std::string line;
    std::string separator;
    std::vector<Field> fields;
};

TEST(SplitFields, SplitsDumpRowsIntoFieldTexts)
{
    const std::vector<SplitCase> cases = {
        {"comma inside a quoted field", "\"a,b\",1", ",", {Q("a,b"), U("1")}},
        {"empty field between separators", "a,,b", ",", {U("a"), U(""), U("b")}},
        {"separator at the end gives no empty field", "a,b,", ",", {U("a"), U("b")}},
        {"leading separator gives an empty first field", ",a", ",", {U(""), U("a")}},
        {"empty quoted field", "\"\"", ",", {Q("")}},
        {"two empty quoted fields", "\"\",\"\"", ",", {Q(""), Q("")}},
        {"quoted field then trailing separator", "\"x\",", ",", {Q("x")}},
        {"quoted field then an empty field", "\"a\",,", ",", {Q("a"), U("")}},
        {"SQL NULL and the text NULL", "NULL,\"NULL\"", ",", {U("NULL"), Q("NULL")}},
        {"doubled double quotes read as one", "\"say \"\"hi\"\"\",2", ",", {Q("say \"hi\""), U("2")}},
        {"two apostrophes stay two in quotes", "\"a''b\",\"''\"", ",", {Q("a''b"), Q("''")}},
        {"two apostrophes stay two without quotes", "it''s", ",", {U("it''s")}},
        {"doubled quote before the separator", "\"a\"\",b\",1", ",", {Q("a\",b"), U("1")}},
        {"value that is one double quote", "\"\"\"\"", ",", {Q("\"")}},
        {"single apostrophes stay", "\"O'Neil\",'x'", ",", {Q("O'Neil"), U("'x'")}},
        {"quote followed by other text is no quoted field", "\"a\"b,c", ",", {U("\"a\"b"), U("c")}},
        {"quote never closed", "1,\"abc", ",", {U("1"), U("\"abc")}},
        {"line breaks inside a quoted field", "1,\"a\r\nb\",2", ",", {U("1"), Q("a\r\nb"), U("2")}},
        {"carriage return in an unquoted field", "a\rb,c", ",", {U("a\rb"), U("c")}},
        {"binary and numbers", "0x00ff,-1.5,2001-03-15", ",", {U("0x00ff"), U("-1.5"), U("2001-03-15")}},
        {"empty line", "", ",", {}},
        {"separator alone", ",", ",", {U("")}},
        {"longer separator", "a;;\"b;;c\";;d", ";;", {U("a"), Q("b;;c"), U("d")}},
        {"empty separator keeps the rest whole", "a,b", "", {U("a,b")}},
    };
    for (const auto& c : cases) {
        std::string line = c.line;
        CRowValues fields;
        fields.Add("stale");
        const int count = SplitFields(line, fields, c.separator);
        EXPECT_EQ(fields, mergetest::Row(c.fields)) << c.name;
        EXPECT_EQ(count, static_cast<int>(c.fields.size())) << c.name;
        EXPECT_TRUE(line.empty()) << c.name << ": the line is consumed";
    }
}

} // namespace
