#include <gtest/gtest.h>

#include "datasource/WholeTableQuery.h"

namespace {

TEST(SelectAllText, QuotesWithTheIdentifierQuote)
{
    EXPECT_EQ(SelectAllText("Orders", "\""), "Select * from \"Orders\"");
    EXPECT_EQ(SelectAllText("Orders", "`"), "Select * from `Orders`");
    EXPECT_EQ(SelectAllText("Orders", " "), "Select * from Orders");
    EXPECT_EQ(SelectAllText("Orders", ""), "Select * from Orders");
    EXPECT_EQ(SelectAllText("my\"table", "\""), "Select * from \"my\"\"table\"");
}

TEST(SelectAllText, TableOfSelectAllGivesTheNameBack)
{
    struct Case {
        const char* table;
        const char* quote;
    };
    const Case cases[] = {{"Orders", "\""},   {"Orders", "`"},       {"Orders", " "},  {"my\"table", "\""},
                          {"a``b", "`"},      {"\"", "\""},          {"Rs Cols", "\""}, {"x", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(TableOfSelectAll(SelectAllText(c.table, c.quote), c.quote), c.table) << c.table;
    EXPECT_EQ(TableOfSelectAll("SELECT * FROM \"t\"", "\""), "t");
    EXPECT_EQ(TableOfSelectAll("SELECT a FROM t", "\""), "");
    EXPECT_EQ(TableOfSelectAll("", "\""), "");
}

} // namespace
