#pragma once
// What makes two lines equal under the comparison's rules, and the hash that
// finds candidates quickly. Lines are byte strings with lengths: a NUL or any
// other control byte is data like every other byte.
#include <cstdint>
#include <string_view>

// The two options that change what "equal" means.
struct LineRules {
    bool ignoreWhitespace = false;  // spaces, tabs and CRs anywhere do not count
    bool ignoreCase = false;        // ASCII letters compare without regard to case
};

inline constexpr std::uint32_t kLineHashMultiplier = 6293815u;  // 0x600937

// Hash of a text, with wrapping 32-bit arithmetic: the sum over the characters
// c (signed bytes) of c * i * m, where i counts the characters from 1 and m is
// kLineHashMultiplier to the power i. With ignoreWhitespace, spaces, tabs and
// CRs are skipped before they are counted; with ignoreCase, ASCII letters count
// as their upper case (other bytes stay as they are).
std::uint32_t LineHash(std::string_view text, bool ignoreWhitespace, bool ignoreCase);

inline std::uint32_t LineHash(std::string_view text, const LineRules& rules)
{
    return LineHash(text, rules.ignoreWhitespace, rules.ignoreCase);
}

// A 64-bit key of a text under the rules: texts equal under the rules have
// equal keys, and different texts almost never do. It tells lines apart where
// the 32-bit LineHash would let thousands of rows of a large table collide.
std::uint64_t LineKey(std::string_view text, const LineRules& rules);

// The finish of a 64-bit hash (the last steps of MurmurHash3's mix): a
// bijection whose every output bit depends on every input bit.
inline std::uint64_t MixHashBits(std::uint64_t h)
{
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return h;
}

// Whether two texts are equal under the rules (the hashes are not looked at).
bool TextsEqual(std::string_view a, std::string_view b, const LineRules& rules);

// A line of nothing but spaces, tabs and CRs before its LF or its end.
bool IsBlankText(std::string_view text);

// The three bytes "Ignore Whitespace" disregards.
inline bool IsIgnorableSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}
