#include "textcompare/LineCompare.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "EngineTestSupport.h"

namespace {

// m = 6,293,815; m^2 mod 2^32 = 3,918,850,513 (39,612,107,254,225 - 9,223 * 2^32).
struct HashCase {
    const char* name;
    std::string text;
    bool ignoreWhitespace;
    bool ignoreCase;
    std::uint32_t hash;
};

TEST(LineHash, MatchesValuesWorkedOutByHand)
{
    const std::vector<HashCase> cases = {
        {"empty", "", false, false, 0u},
        // 65 * 1 * 6,293,815
        {"A", "A", false, false, 409097975u},
        // 409,097,975 + 66 * 2 * 3,918,850,513 mod 2^32 (= 1,892,192,196)
        {"AB", "AB", false, false, 2301290171u},
        // 0xE9 counts as -23: 2^32 - 23 * 6,293,815 = 2^32 - 144,757,745
        {"byte above 0x7F is negative", "\xe9", false, false, 4150209551u},
        {"bytes above 0x7F keep their case", "\xe9", false, true, 4150209551u},
        // 120 * 6,293,815 + (-23) * 2 * 3,918,850,513 mod 2^32
        {"x then 0xE9", "x\xe9", false, false, 876760634u},
        {"a b CR LF", "ab\r\n", false, false, 281782836u},
        {"ignore case folds ASCII", "ab\r\n", false, true, 2677018388u},
        {"upper case is upper case", "AB\r\n", false, false, 2677018388u},
        {"ignore whitespace skips the CR", "ab\r\n", true, false, 4195087597u},
        {"same as the bare LF line", "ab\n", false, false, 4195087597u},
        {"spaces and tabs do not count either", " a\tb\r\n", true, false, 4195087597u},
        {"only whitespace hashes to 0", " \t\r", true, false, 0u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LineHash(c.text.c_str(), c.ignoreWhitespace, c.ignoreCase), c.hash) << c.name;
}

// The formula written out plainly, to check the fast path on long texts.
std::uint32_t HashByFormula(const std::string& text)
{
    std::uint32_t sum = 0;
    std::uint32_t i = 1;
    std::uint32_t m = kLineHashMultiplier;
    for (unsigned char byte : text) {
        const auto c = static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(byte)));
        sum += c * i * m;
        ++i;
        m *= kLineHashMultiplier;
    }
    return sum;
}

TEST(LineHash, FollowsTheFormulaForTextsOfAnyLength)
{
    std::mt19937 rng(7);
    for (std::size_t length : {1u, 3u, 4u, 5u, 1023u, 1024u, 1025u, 5000u}) {
        std::string text(length, ' ');
        for (auto& ch : text)
            ch = static_cast<char>(1 + rng() % 255);
        EXPECT_EQ(LineHash(text.c_str(), false, false), HashByFormula(text)) << length;
        // The option path counts the same way when there is nothing to skip or fold.
        std::string upper = text;
        for (auto& ch : upper) {
            if (ch == ' ' || ch == '\t' || ch == '\r' || (ch >= 'a' && ch <= 'z'))
                ch = 'Q';
        }
        EXPECT_EQ(LineHash(upper.c_str(), true, true), HashByFormula(upper)) << length;
    }
}

// Two texts compared under the given options.
bool Equal(const std::string& a, const std::string& b, bool ignoreWhitespace, bool ignoreCase)
{
    const LineRules rules{ignoreWhitespace, ignoreCase};
    const bool equal = TextsEqual(a, b, rules);
    EXPECT_EQ(TextsEqual(b, a, rules), equal) << "not symmetric";
    // Equal texts have equal hashes and keys.
    if (equal) {
        EXPECT_EQ(LineHash(a, rules), LineHash(b, rules));
        EXPECT_EQ(LineKey(a, rules), LineKey(b, rules));
    }
    return equal;
}

struct EqualCase {
    const char* name;
    std::string a;
    std::string b;
    bool ignoreWhitespace;
    bool ignoreCase;
    bool equal;
};

TEST(LinesEqual, ComparesUnderTheOptions)
{
    const std::vector<EqualCase> cases = {
        {"same bytes", "a,b\r\n", "a,b\r\n", false, false, true},
        {"CR LF against LF", "ab\r\n", "ab\n", false, false, false},
        {"whitespace counts by default", "a b\r\n", "ab\n", false, false, false},
        {"a space b CR LF equals a b LF without whitespace", "a b\r\n", "ab\n", true, false, true},
        {"whitespace inside the line too", "\t1, 2 ,3\r\n", "1,2,3\n", true, false, true},
        {"a last line without LF never equals one with it", "abc", "abc\r\n", true, false, false},
        {"case counts by default", "ABC\r\n", "abc\r\n", false, false, false},
        {"ABC equals abc under ignore case", "ABC\r\n", "abc\r\n", false, true, true},
        {"bytes above 0x7F do not fold", "\xc9\r\n", "\xe9\r\n", false, true, false},
        {"bytes above 0x7F equal themselves", "x\xe9\r\n", "X\xe9\r\n", false, true, true},
        {"both options", " A b\r\n", "ab\n", true, true, true},
        {"prefix is not equal", "ab", "abc", false, false, false},
        {"prefix is not equal with options", "ab", "a bc", true, true, false},
        {"a NUL byte is data", std::string("a\0b\r\n", 5), std::string("a\0c\r\n", 5), false, false, false},
        {"a NUL byte is data with options", std::string("a\0b\r\n", 5), std::string("A\0B\n", 4), true, true, true},
        {"a text does not end at a NUL byte", std::string("ab\0", 3), "ab", true, true, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Equal(c.a, c.b, c.ignoreWhitespace, c.ignoreCase), c.equal) << c.name;
}

TEST(LinkLines, PairsEqualUnpairedLinesOnly)
{
    Comparison c;
    ASSERT_EQ(c.file1.Split("x\nx\n", c.rules), FileLines::LoadResult::Loaded);
    ASSERT_EQ(c.file2.Split("x\ny\n", c.rules), FileLines::LoadResult::Loaded);
    EXPECT_FALSE(c.LinkLines(0, kNoLine));
    EXPECT_FALSE(c.LinkLines(2, 0));  // beyond the last line
    EXPECT_FALSE(c.LinkLines(0, 1));  // x against y
    EXPECT_TRUE(c.LinkLines(0, 0));
    EXPECT_EQ(c.file1.Partner(0), 0u);
    EXPECT_EQ(c.file2.Partner(0), 0u);
    EXPECT_FALSE(c.LinkLines(1, 0));  // the x of file 2 is taken
    EXPECT_FALSE(c.file1.IsPaired(1));
}

TEST(IsBlankLine, SeesOnlySpacesTabsAndCrs)
{
    const std::vector<std::pair<std::string, bool>> cases = {
        {" \t \r\n", true}, {"   ", true}, {"", true}, {"\n", true}, {"\r\n", true},
        {" x\r\n", false}, {"\t.\n", false}, {std::string(" \0\n", 3), false},
    };
    for (const auto& [text, blank] : cases)
        EXPECT_EQ(IsBlankText(text), blank) << ::testing::PrintToString(text);
}

} // namespace
