#pragma once
// Random pairs of small files for the engine's property tests: lines from a
// few short texts (so that equal lines abound), blank ones when asked for,
// and a second file made from the first by a few random edits.
#include <algorithm>
#include <cstddef>
#include <random>
#include <string>

#include "EngineTestSupport.h"

namespace enginetest {

class RandomPairs {
public:
    explicit RandomPairs(unsigned seed, bool withBlanks) : m_rng(seed), m_withBlanks(withBlanks) {}

    std::string Line()
    {
        static const char* const kTexts[] = {"a", "b", "c", "d", "e", "A", "a b"};
        static const char* const kBlanks[] = {"", " ", "\t "};
        if (m_withBlanks && Pick(5) == 0)
            return std::string(kBlanks[Pick(3)]) + "\r\n";
        return std::string(kTexts[Pick(7)]) + "\r\n";
    }

    Lines File()
    {
        Lines lines(Pick(12));
        for (auto& l : lines)
            l = Line();
        return lines;
    }

    // file 1 with a few random insertions, deletions, changes and moves
    Lines Edited(Lines lines)
    {
        const std::size_t edits = Pick(5);
        for (std::size_t e = 0; e < edits; ++e) {
            const std::size_t at = lines.empty() ? 0 : Pick(lines.size());
            switch (Pick(4)) {
            case 0:
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(std::min(at, lines.size())), Line());
                break;
            case 1:
                if (!lines.empty())
                    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
                break;
            case 2:
                if (!lines.empty())
                    lines[at] = Line();
                break;
            default:
                if (lines.size() > 1) {
                    const std::string moved = lines[at];
                    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
                    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(Pick(lines.size() + 1)), moved);
                }
            }
        }
        return lines;
    }

    std::size_t Pick(std::size_t n) { return n == 0 ? 0 : m_rng() % n; }
    std::mt19937& Rng() { return m_rng; }

private:
    std::mt19937 m_rng;
    bool m_withBlanks;
};

} // namespace enginetest
