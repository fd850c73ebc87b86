#include "textcompare/LineCompare.h"

#include <cstddef>
#include <cstring>

#include "textcompare/ComparisonOptions.h"

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

std::uint32_t HashWithOptions(const unsigned char* s, bool ignoreWhitespace, bool ignoreCase)
{
    std::uint32_t sum = 0;
    std::uint32_t i = 1;
    std::uint32_t m = kLineHashMultiplier;
    for (;;) {
        if (ignoreWhitespace) {
            while (IsIgnorableSpace(static_cast<char>(*s)))
                ++s;
        }
        if (*s == '\0')
            return sum;
        const unsigned char c = ignoreCase ? UpperByte(*s) : *s;
        sum += SignedValue(c) * i * m;
        ++i;
        m *= kLineHashMultiplier;
        ++s;
    }
}

} // namespace

std::uint32_t LineHash(const char* text, bool ignoreWhitespace, bool ignoreCase)
{
    if (!text)
        return 0;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    if (!ignoreWhitespace && !ignoreCase)
        return HashPlain(s, std::strlen(text));
    return HashWithOptions(s, ignoreWhitespace, ignoreCase);
}

std::uint32_t GetLineHash(LineRecord* line)
{
    if (!(line->flags & kLineHashValid)) {
        line->hash = LineHash(line->text, g_comparisonOptions.ignoreWhitespace != 0,
                              g_comparisonOptions.ignoreCase != 0);
        line->flags |= kLineHashValid;
    }
    return line->hash;
}

bool LinesEqual(LineRecord* a, LineRecord* b)
{
    if (!a || !b || GetLineHash(a) != GetLineHash(b))
        return false;
    const bool ignoreWhitespace = g_comparisonOptions.ignoreWhitespace != 0;
    const bool ignoreCase = g_comparisonOptions.ignoreCase != 0;
    if (!ignoreWhitespace && !ignoreCase)
        return std::strcmp(a->text, b->text) == 0;
    const auto* p = reinterpret_cast<const unsigned char*>(a->text);
    const auto* q = reinterpret_cast<const unsigned char*>(b->text);
    for (;;) {
        if (ignoreWhitespace) {
            while (IsIgnorableSpace(static_cast<char>(*p)))
                ++p;
            while (IsIgnorableSpace(static_cast<char>(*q)))
                ++q;
        }
        if (*p != *q && (!ignoreCase || UpperByte(*p) != UpperByte(*q)))
            return false;
        if (*p == '\0')
            return true;
        ++p;
        if (*q == '\0')
            return true;
        ++q;
    }
}

bool LinkLines(LineRecord* a, LineRecord* b)
{
    if (!a || !b || a->partner || b->partner || !LinesEqual(a, b))
        return false;
    a->partner = b;
    b->partner = a;
    return true;
}

bool IsBlankLine(const LineRecord* line)
{
    if (!line)
        return false;
    const char* s = line->text;
    while (IsIgnorableSpace(*s))
        ++s;
    return *s == '\0' || *s == '\r' || *s == '\n';
}
