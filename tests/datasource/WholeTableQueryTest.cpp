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

TEST(SelectAllText, QuotedIdentifierDoublesTheQuote)
{
    EXPECT_EQ(QuotedIdentifier("a``b", "`"), "`a````b`");
    EXPECT_EQ(QuotedIdentifier("\"", "\""), "\"\"\"\"");
    EXPECT_EQ(QuotedIdentifier("Rs Cols", "\""), "\"Rs Cols\"");
    EXPECT_EQ(QuotedIdentifier("x", ""), "x");
}

} // namespace
