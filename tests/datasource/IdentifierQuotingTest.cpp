#include "datasource/IdentifierQuoting.h"

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
        // The literal forms that keep every session setting out: a backslash
        // never escapes the apostrophe that ends them.
        {"escape string with a backslash before the end", "VALUES (E'a\\\\',[b])", "\"", "VALUES (E'a\\\\',\"b\")"},
        {"escape string with a doubled apostrophe", "SET [a]=E'x\\\\''[y]'", "\"", "SET \"a\"=E'x\\\\''[y]'"},
        {"joined control characters", "[t]='a'||char(13,10)||'[b]'", "\"", "\"t\"='a'||char(13,10)||'[b]'"},
        {"hex literal with introducer", "[t]=_utf8mb4 X'5B5D'", "`", "`t`=_utf8mb4 X'5B5D'"},
    };
    for (const auto& c : cases) {
        std::string statement = c.statement;
        IdentifierQuoting(c.quote, false).RewriteBrackets(statement);
        EXPECT_EQ(statement, c.result) << c.name;
    }
}

TEST(IdentifierQuoting, AJetDataSourceKeepsTheBracketsOfAStatement)
{
    std::string statement = "UPDATE [T] SET [we]]ird]='x' WHERE [A]=1";
    const IdentifierQuoting jet("`", true);
    jet.RewriteBrackets(statement);
    EXPECT_EQ(statement, "UPDATE [T] SET [we]]ird]='x' WHERE [A]=1");
    // A query that names the table directly gets the driver's quote.
    EXPECT_EQ(jet.Quoted("T"), "`T`");
}

// The bracket form and the rewrite give back every name that does not begin
// with "[", in each kind of quote.
TEST(IdentifierQuoting, BracketedNamesComeThroughTheRewriteAsThemselves)
{
    const std::vector<std::string> names = {"T", "we]ird", "]]", "br[ack]et", "say \"hi\"", "back`tick",
                                            "it's", "a;b", "a b", "x]", "\\", "--"};
    for (const std::string quote : {"\"", "`"}) {
        const IdentifierQuoting quoting(quote, false);
        for (const std::string& name : names) {
            ASSERT_TRUE(IdentifierQuoting::CanBracket(name)) << name;
            std::string statement = "SELECT " + IdentifierQuoting::Bracketed(name) + " FROM " +
                                    IdentifierQuoting::Bracketed(name);
            quoting.RewriteBrackets(statement);
            const std::string quoted = quoting.Quoted(name);
            EXPECT_EQ(statement, "SELECT " + quoted + " FROM " + quoted) << name << " in " << quote;
        }
    }
    EXPECT_EQ(IdentifierQuoting::Bracketed("we]ird"), "[we]]ird]");
    EXPECT_FALSE(IdentifierQuoting::CanBracket("[x"));
    EXPECT_FALSE(IdentifierQuoting::CanBracket("[x]"));
    EXPECT_TRUE(IdentifierQuoting::CanBracket("x["));
}

struct QuoteCase {
    const char* name;
    std::string reported;
    DbmsKind dbms;
    std::string quote;
};

// MySQL and MariaDB names go in backquotes even when the connector reports the
// double quote (sql_mode ANSI_QUOTES): a statement or script run in another
// session would take a double-quoted name for a string.
TEST(IdentifierQuoting, TheQuoteADataSourceGets)
{
    const std::vector<QuoteCase> cases = {
        {"SQLite", "\"", DbmsKind::Sqlite, "\""},
        {"PostgreSQL", "\"", DbmsKind::PostgreSql, "\""},
        {"MariaDB", "`", DbmsKind::MySql, "`"},
        {"MariaDB with ANSI_QUOTES", "\"", DbmsKind::MySql, "`"},
        {"MySQL without a reported quote", "", DbmsKind::MySql, "`"},
        {"another DBMS", "`", DbmsKind::Other, "`"},
        {"no quote", "", DbmsKind::Other, " "},
        {"a blank", " ", DbmsKind::Other, " "},
        {"several characters", "\"\"", DbmsKind::Other, " "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IdentifierQuoting::QuoteFor(c.reported, c.dbms), c.quote) << c.name;
}

TEST(IdentifierQuoting, QuotedDoublesTheQuoteOrLeavesTheNameBare)
{
    EXPECT_EQ(IdentifierQuoting("\"", false).Quoted("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(IdentifierQuoting("`", false).Quoted("a``b"), "`a````b`");
    EXPECT_EQ(IdentifierQuoting("`", false).Quoted("a\"b"), "`a\"b`");
    EXPECT_EQ(IdentifierQuoting(" ", false).Quoted("a b"), "a b");
    EXPECT_EQ(IdentifierQuoting().Quoted("T"), "T");
    EXPECT_EQ(IdentifierQuoting().Quote(), " ");
}

} // namespace
