#include "textcompare/RowScanner.h"

#include <cstring>

std::size_t RowScanner::FindRowEnd(const char* data, std::size_t size)
{
    std::size_t i = 0;
    while (i < size) {
        switch (m_state) {
        case State::FieldStart:
            if (data[i] == '"') {
                m_state = State::InQuote;
                ++i;
                break;
            }
            m_state = State::Unquoted;
            [[fallthrough]];
        case State::Unquoted:
            // Only a comma or the line feed matter outside quotes.
            for (; i < size; ++i) {
                const char c = data[i];
                if (c == '\n') {
                    m_state = State::FieldStart;
                    return i + 1;
                }
                if (c == ',') {
                    m_state = State::FieldStart;
                    ++i;
                    break;
                }
            }
            break;
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
                ++i;  // still a candidate for the closing quote
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
