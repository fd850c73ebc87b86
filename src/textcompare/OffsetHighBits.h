#pragma once
// The high 32 bits of the line offsets of a file. A line cell keeps only the
// low 32 bits of where its line starts, which halves the cell's offset; files
// of 4 GiB and more remember here at which lines the high bits go up. For the
// usual smaller file the table stays empty and costs one test.
#include <algorithm>
#include <cstdint>
#include <vector>

class OffsetHighBits {
public:
    void Clear() { m_firstLineAbove.clear(); }

    // Notes that `line` (an index, as in the line cells) starts at `offset`; lines come in order with rising
    // offsets. Returns the low 32 bits for the line's cell.
    std::uint32_t Add(std::uint32_t line, std::uint64_t offset)
    {
        while ((offset >> 32) > m_firstLineAbove.size())
            m_firstLineAbove.push_back(line);
        return static_cast<std::uint32_t>(offset);
    }

    // The offset of `line` from the low 32 bits in its cell.
    std::uint64_t Offset(std::uint32_t line, std::uint32_t low) const
    {
        if (m_firstLineAbove.empty())
            return low;
        const auto high = std::upper_bound(m_firstLineAbove.begin(), m_firstLineAbove.end(), line) -
                          m_firstLineAbove.begin();
        return (static_cast<std::uint64_t>(high) << 32) | low;
    }

private:
    // [h]: the first line that starts at or past (h + 1) * 4 GiB. A line of
    // more than 4 GiB makes the next line the first past several such marks.
    std::vector<std::uint32_t> m_firstLineAbove;
};
