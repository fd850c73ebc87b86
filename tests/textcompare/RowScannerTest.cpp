#include "textcompare/RowScanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Splits bytes into rows, feeding the scanner in pieces of the given size.
std::vector<std::string> SplitRows(const std::string& bytes, std::size_t piece)
{
    std::vector<std::string> rows;
    RowScanner scanner;
    std::string current;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t n = std::min(piece, bytes.size() - pos);
        std::size_t used = 0;
        while (used < n) {
            const std::size_t end = scanner.FindRowEnd(bytes.data() + pos + used, n - used);
            if (end == RowScanner::npos) {
                current.append(bytes, pos + used, n - used);
                used = n;
            } else {
                current.append(bytes, pos + used, end);
                rows.push_back(current);
                current.clear();
                used += end;
                scanner.Reset();
            }
        }
        pos += n;
    }
    if (!current.empty())
        rows.push_back(current);
    return rows;
}

struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> rows;
};

TEST(RowScanner, SplitsRowsByTheDumpQuotingRule)
{
    const std::vector<Case> cases = {
        {"plain lines", "a,b\r\nc,d\r\n", {"a,b\r\n", "c,d\r\n"}},
        {"last line without terminator", "a\r\nb", {"a\r\n", "b"}},
        {"line break inside quotes", "1,\"x\r\ny\",2\r\n3\r\n", {"1,\"x\r\ny\",2\r\n", "3\r\n"}},
        {"quoted field at row start", "\"a\nb\"\r\nz\n", {"\"a\nb\"\r\n", "z\n"}},
        {"quote not at field start is text", "ab\"c\nd\n", {"ab\"c\n", "d\n"}},
        {"quote inside quotes not followed by separator", "\"a\"b\nc\",1\n2\n", {"\"a\"b\nc\",1\n", "2\n"}},
        {"closing quote at end of data", "1,\"open\nstill", {"1,\"open\nstill"}},
        {"empty quoted field", "\"\",\"\"\r\nx\r\n", {"\"\",\"\"\r\n", "x\r\n"}},
        {"closing quote followed by CR alone", "\"a\"\rb\nc\n", {"\"a\"\rb\n", "c\n"}},
        {"doubled quote candidate", "\"a\"\",1\nb\n", {"\"a\"\",1\n", "b\n"}},
        {"empty lines", "\n\n", {"\n", "\n"}},
    };
    for (const auto& c : cases) {
        for (std::size_t piece : {std::size_t(1), std::size_t(2), std::size_t(3), std::size_t(1000)}) {
            EXPECT_EQ(SplitRows(c.bytes, piece), c.rows) << c.name << ", pieces of " << piece;
        }
    }
}

TEST(RowScanner, ReportsAnOpenQuotedField)
{
    RowScanner scanner;
    EXPECT_EQ(scanner.FindRowEnd(std::string_view("1,\"abc")), RowScanner::npos);
    EXPECT_TRUE(scanner.InQuotedField());
    EXPECT_EQ(scanner.FindRowEnd(std::string_view("def\"")), RowScanner::npos);
    EXPECT_FALSE(scanner.InQuotedField());
    scanner.Reset();
    EXPECT_EQ(scanner.FindRowEnd(std::string_view("1,2\n")), 4u);
    EXPECT_FALSE(scanner.InQuotedField());
}

} // namespace
