#include "textcompare/LineCompare.h"

#include <cstddef>
#include <cstring>

namespace {

// The weight of the k-th counted character (k from 0) is (k + 1) * m^(k + 1):
// the same for every text, so the usual case is a plain weighted sum.
constexpr std::size_t kWeightCount = 1024;

struct HashWeights {
    std::uint32_t weight[kWeightCount];
    std::uint32_t nextCount;       // i for the character after the table
    std::uint32_t nextMultiplier;  // m for that character
};

constexpr HashWeights MakeHashWeights()
{
    HashWeights t{};
    std::uint32_t i = 1;
    std::uint32_t m = kLineHashMultiplier;
    for (std::size_t k = 0; k < kWeightCount; ++k) {
        t.weight[k] = i * m;
        ++i;
        m *= kLineHashMultiplier;
    }
    t.nextCount = i;
    t.nextMultiplier = m;
    return t;
}

constexpr HashWeights kWeights = MakeHashWeights();

// A byte as the signed character the hash adds.
inline std::uint32_t SignedValue(unsigned char byte)
{
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(byte)));
}

// Upper case of one byte: ASCII letters fold; bytes 0x80 to 0xFF are not
// characters on their own in UTF-8 and stay as they are.
inline unsigned char UpperByte(unsigned char byte)
{
    return (byte >= 'a' && byte <= 'z') ? static_cast<unsigned char>(byte - ('a' - 'A')) : byte;
}

// The weighted sum over the table part of a text: a dot product, which the
// compiler turns into vector code (AVX2 where the processor has it).
__attribute__((target_clones("avx2", "default"), optimize("tree-vectorize")))
std::uint32_t WeightedSum(const unsigned char* s, std::size_t n)
{
    std::uint32_t sum = 0;
    for (std::size_t k = 0; k < n; ++k)
        sum += SignedValue(s[k]) * kWeights.weight[k];
    return sum;
}

std::uint32_t HashPlain(const unsigned char* s, std::size_t n)
{
    const std::size_t head = n < kWeightCount ? n : kWeightCount;
    std::uint32_t sum = WeightedSum(s, head);
    std::uint32_t i = kWeights.nextCount;
    std::uint32_t m = kWeights.nextMultiplier;
    for (std::size_t k = head; k < n; ++k) {
        sum += SignedValue(s[k]) * i * m;
        ++i;
        m *= kLineHashMultiplier;
    }
    return sum;
}

std::uint32_t HashWithOptions(const unsigned char* s, std::size_t n, bool ignoreWhitespace, bool ignoreCase)
{
    std::uint32_t sum = 0;
    std::uint32_t i = 1;
    std::uint32_t m = kLineHashMultiplier;
    for (std::size_t k = 0;; ++k) {
        if (ignoreWhitespace) {
            while (k < n && IsIgnorableSpace(static_cast<char>(s[k])))
                ++k;
        }
        if (k == n)
            return sum;
        const unsigned char c = ignoreCase ? UpperByte(s[k]) : s[k];
        sum += SignedValue(c) * i * m;
        ++i;
        m *= kLineHashMultiplier;
    }
}

} // namespace

std::uint32_t LineHash(std::string_view text, bool ignoreWhitespace, bool ignoreCase)
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    if (!ignoreWhitespace && !ignoreCase)
        return HashPlain(s, text.size());
    return HashWithOptions(s, text.size(), ignoreWhitespace, ignoreCase);
}

namespace {

constexpr std::uint64_t kKeyMultiplier1 = 0x9E3779B97F4A7C15ull;
constexpr std::uint64_t kKeyMultiplier2 = 0xC2B2AE3D27D4EB4Full;

inline std::uint64_t MixWord(std::uint64_t h, std::uint64_t word)
{
    h ^= word * kKeyMultiplier1;
    h = (h << 31) | (h >> 33);
    return h * kKeyMultiplier2;
}

inline std::uint64_t FinishKey(std::uint64_t h, std::uint64_t length)
{
    return MixHashBits(h ^ length);
}

} // namespace

std::uint64_t LineKey(std::string_view text, const LineRules& rules)
{
    std::uint64_t h = 0;
    std::uint64_t word = 0;
    std::size_t n = 0;  // bytes counted
    if (!rules.ignoreWhitespace && !rules.ignoreCase) {
        const std::size_t whole = text.size() / 8 * 8;
        for (; n < whole; n += 8) {
            std::memcpy(&word, text.data() + n, 8);
            h = MixWord(h, word);
        }
        word = 0;
        std::memcpy(&word, text.data() + n, text.size() - n);
        return FinishKey(MixWord(h, word), text.size());
    }
    for (const char ch : text) {
        if (rules.ignoreWhitespace && IsIgnorableSpace(ch))
            continue;
        const unsigned char c = rules.ignoreCase ? UpperByte(static_cast<unsigned char>(ch)) : static_cast<unsigned char>(ch);
        word |= std::uint64_t(c) << (8 * (n % 8));
        if (++n % 8 == 0) {
            h = MixWord(h, word);
            word = 0;
        }
    }
    return FinishKey(MixWord(h, word), n);
}

bool TextsEqual(std::string_view a, std::string_view b, const LineRules& rules)
{
    if (!rules.ignoreWhitespace && !rules.ignoreCase)
        return a == b;
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        if (rules.ignoreWhitespace) {
            while (i < a.size() && IsIgnorableSpace(a[i]))
                ++i;
            while (j < b.size() && IsIgnorableSpace(b[j]))
                ++j;
        }
        const bool endA = i == a.size();
        const bool endB = j == b.size();
        if (endA || endB)
            return endA && endB;
        const auto p = static_cast<unsigned char>(a[i]);
        const auto q = static_cast<unsigned char>(b[j]);
        if (p != q && (!rules.ignoreCase || UpperByte(p) != UpperByte(q)))
            return false;
        ++i;
        ++j;
    }
}

bool IsBlankText(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsIgnorableSpace(text[i]))
        ++i;
    return i == text.size() || text[i] == '\n';
}
