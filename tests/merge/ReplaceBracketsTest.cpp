#include "datasource/ReplaceBrackets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct BracketCase {
    const char* name;
    std::string statement;
    std::string quote;
    std::string result;
};

TEST(ReplaceBrackets, RewritesNamesOutsideLiteralsOnly)
{
    const std::vector<BracketCase> cases = {
        {"double quote", "DELETE FROM [T] WHERE [A]=1", "\"", "DELETE FROM \"T\" WHERE \"A\"=1"},
        {"backquote", "UPDATE [T] SET [C]='x' WHERE [A]=1", "`", "UPDATE `T` SET `C`='x' WHERE `A`=1"},
        {"no quote character gives blanks", "INSERT INTO [T] ([A]) VALUES (1)", " ", "INSERT INTO  T  ( A ) VALUES (1)"},
        {"quote of several characters gives blanks", "[T]", "\"\"", " T "},
        {"empty quote gives blanks", "[T]", "", " T "},
        {"brackets inside a literal stay", "INSERT INTO [T] ([A]) VALUES ('[x]')", "\"",
         "INSERT INTO \"T\" (\"A\") VALUES ('[x]')"},
        {"escaped apostrophe keeps the literal open", "VALUES ('it''s [x]',[y])", "\"", "VALUES ('it''s [x]',\"y\")"},
        {"empty literal", "VALUES ('',[y])", "\"", "VALUES ('',\"y\")"},
        {"doubled brackets stand for one", "[a]]b]", "\"", "\"a]b\""},
        {"doubled opening bracket", "[[x", "\"", "[x"},
        {"date escape", "UPDATE [T] SET [D]={d '2001-03-15'} WHERE [K]=1", "\"",
         "UPDATE \"T\" SET \"D\"={d '2001-03-15'} WHERE \"K\"=1"},
        {"literal with line break and brackets", "VALUES ('a\r\n]b[',[c])", "`", "VALUES ('a\r\n]b[',`c`)"},
        // Inside a name an apostrophe opens no literal and the quote character
        // is doubled, the SQL way of writing it in a quoted name.
        {"apostrophe inside a name", "INSERT INTO [T] ([Customer's Name],[B]) VALUES ('x',1)", "\"",
         "INSERT INTO \"T\" (\"Customer's Name\",\"B\") VALUES ('x',1)"},
        {"double quote inside a name", "UPDATE [T] SET [say \"hi\"]='x'", "\"",
         "UPDATE \"T\" SET \"say \"\"hi\"\"\"='x'"},
        {"backquote inside a name", "[a`b]=1", "`", "`a``b`=1"},
        {"opening bracket inside a name", "[a[1]]]='['", "\"", "\"a[1]\"='['"},
        {"a blank for quote doubles no blank", "[a b]", " ", " a b "},
        {"nothing to do", "SELECT 1", "\"", "SELECT 1"},
        {"empty statement", "", "\"", ""},
    };
    for (const auto& c : cases) {
        std::string statement = c.statement;
        ReplaceBrackets(statement, c.quote);
        EXPECT_EQ(statement, c.result) << c.name;
    }
}

} // namespace
