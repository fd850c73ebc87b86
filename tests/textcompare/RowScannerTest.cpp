#include "textcompare/RowScanner.h"

#include <gtest/gtest.h>

#include <random>
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
        {"doubled quote is a quote of the value", "\"a\"\",1\nb\"\nc\n", {"\"a\"\",1\nb\"\n", "c\n"}},
        {"doubled quote before a line break", "\"say \"\"hi\"\"\r\nbye\",1\r\nz\n",
         {"\"say \"\"hi\"\"\r\nbye\",1\r\n", "z\n"}},
        {"value ending in a double quote", "\"a\"\"\",1\nb\n", {"\"a\"\"\",1\n", "b\n"}},
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

// The rule written out byte by byte: a quoted field opens with a double quote
// at the start of the row or after a comma; inside it two double quotes are a
// quote of the value, and a single one closes it when a comma, a CR, an LF or
// the end follows; an LF outside quotes ends the row.
std::vector<std::string> SplitRowsByteByByte(const std::string& bytes)
{
    std::vector<std::string> rows;
    std::string current;
    bool fieldStart = true;
    bool inQuote = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        current += c;
        if (inQuote) {
            if (c == '"') {
                const std::size_t j = i + 1;
                if (j < bytes.size() && bytes[j] == '"') {
                    current += bytes[j];
                    ++i;
                } else if (j == bytes.size() || bytes[j] == ',' || bytes[j] == '\r' || bytes[j] == '\n') {
                    inQuote = false;
                }
            }
            continue;
        }
        if (c == '\n') {
            rows.push_back(current);
            current.clear();
            fieldStart = true;
            continue;
        }
        if (c == '"' && fieldStart) {
            inQuote = true;
            fieldStart = false;
            continue;
        }
        fieldStart = c == ',';
    }
    if (!current.empty())
        rows.push_back(current);
    return rows;
}

TEST(RowScanner, AgreesWithTheRuleOnRandomBytesInRandomPieces)
{
    std::mt19937 rng(11);
    const char alphabet[] = {'a', 'b', ',', '"', '\r', '\n'};
    for (int round = 0; round < 20000; ++round) {
        std::string bytes(rng() % 40, ' ');
        for (auto& c : bytes)
            c = alphabet[rng() % sizeof(alphabet)];
        const std::size_t piece = 1 + rng() % 8;
        ASSERT_EQ(SplitRows(bytes, piece), SplitRowsByteByByte(bytes))
            << ::testing::PrintToString(bytes) << " in pieces of " << piece;
    }
}

} // namespace
