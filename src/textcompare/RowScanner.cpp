#include "textcompare/RowScanner.h"

#include <cstring>

std::size_t RowScanner::FindRowEnd(const char* data, std::size_t size)
{
    std::size_t i = 0;
    bool lineFeedKnown = false;  // lineFeed: the first LF at or after the last search, or size
    std::size_t lineFeed = 0;
    while (i < size) {
        switch (m_state) {
        case State::FieldStart:
        case State::Unquoted: {
            // Outside quotes only two things matter: the next line feed, and
            // whether a double quote before it opens a quoted field. Both are
            // found with memchr instead of looking at every byte.
            if (!lineFeedKnown || lineFeed < i) {
                const void* lf = std::memchr(data + i, '\n', size - i);
                lineFeed = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : size;
                lineFeedKnown = true;
            }
            const void* quote = std::memchr(data + i, '"', lineFeed - i);
            if (!quote) {
                if (lineFeed < size) {
                    m_state = State::FieldStart;
                    return lineFeed + 1;
                }
                m_state = data[size - 1] == ',' ? State::FieldStart : State::Unquoted;
                return npos;
            }
            const std::size_t q = static_cast<std::size_t>(static_cast<const char*>(quote) - data);
            // A quote opens a field only at the start of a field.
            const bool opens = q == i ? m_state == State::FieldStart : data[q - 1] == ',';
            m_state = opens ? State::InQuote : State::Unquoted;
            i = q + 1;
            break;
        }
        case State::InQuote: {
            const void* q = std::memchr(data + i, '"', size - i);
            if (!q)
                return npos;
            i = static_cast<std::size_t>(static_cast<const char*>(q) - data) + 1;
            m_state = State::QuoteSeen;
            break;
        }
        case State::QuoteSeen: {
            const char c = data[i];
            if (c == ',') {
                m_state = State::FieldStart;
                ++i;
            } else if (c == '\n') {
                m_state = State::FieldStart;
                return i + 1;
            } else if (c == '\r') {
                m_state = State::Unquoted;
                ++i;
            } else if (c == '"') {
                m_state = State::InQuote;  // a doubled quote is a quote of the value
                ++i;
            } else {
                m_state = State::InQuote;
                ++i;
            }
            break;
        }
        }
    }
    return npos;
}
