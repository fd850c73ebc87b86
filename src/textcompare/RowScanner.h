#pragma once
// Where a dump row ends. A row is one line, except that a line feed inside a
// double-quoted field does not end it. A quoted field begins with a double quote
// at the start of the row or right after a comma, and ends at the next single
// double quote that is followed by a comma, a line end (CR or LF) or the end of
// the data; two double quotes in a row are a quote of the value. This is how the
// dump writer quotes values (common/MergeFileLayout), so the engine's line
// reader and the merge file reader both split rows with this one scanner.
#include <cstddef>
#include <string_view>

class RowScanner {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // Begins a new row (also after a row end was found).
    void Reset() { m_state = State::FieldStart; }

    // Scans the next bytes of the current row. Returns the offset just past the
    // line feed that ends the row, or npos when the row goes on beyond these
    // bytes (the scanner keeps its state for the next call).
    std::size_t FindRowEnd(const char* data, std::size_t size);
    std::size_t FindRowEnd(std::string_view bytes) { return FindRowEnd(bytes.data(), bytes.size()); }

    // True while the bytes seen so far leave a quoted field open, so that the end
    // of a physical line is not the end of the row. A double quote that might
    // close the field but whose next byte is not known yet counts as closing.
    bool InQuotedField() const { return m_state == State::InQuote; }

private:
    enum class State { FieldStart, Unquoted, InQuote, QuoteSeen };
    State m_state = State::FieldStart;
};
