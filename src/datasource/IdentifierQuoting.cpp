#include "datasource/IdentifierQuoting.h"

#include <utility>

namespace {

constexpr char kBackquote[] = "`";
constexpr char kNoQuote[] = " ";

} // namespace

IdentifierQuoting::IdentifierQuoting(std::string quote, bool keepsBrackets)
    : m_quote(quote.size() == 1 ? std::move(quote) : std::string(kNoQuote)), m_keepsBrackets(keepsBrackets)
{
}

std::string IdentifierQuoting::QuoteFor(const std::string& reportedQuote, DbmsKind dbms)
{
    if (dbms == DbmsKind::MySql)
        return kBackquote;
    return reportedQuote.size() == 1 ? reportedQuote : std::string(kNoQuote);
}

void IdentifierQuoting::AppendBracketed(std::string& out, std::string_view name)
{
    out += '[';
    for (const char c : name) {
        out += c;
        if (c == ']')
            out += c;
    }
    out += ']';
}

std::string IdentifierQuoting::Bracketed(std::string_view name)
{
    std::string out;
    out.reserve(name.size() + 2);
    AppendBracketed(out, name);
    return out;
}

bool IdentifierQuoting::CanBracket(std::string_view name)
{
    return !name.starts_with('[');
}

// Outside text literals, a single "[" or "]" becomes the quote and a doubled
// "[[" or "]]" one bracket. An apostrophe opens or closes a literal; two in a
// row are copied as they are without changing the state, so brackets inside
// literals stay. Inside a name ("[" to "]"), "]]" is a bracket of the name, an
// apostrophe is an ordinary character and the quote character is written
// twice (a blank, standing for no quoting, is not).
void IdentifierQuoting::RewriteBrackets(std::string& statement) const
{
    if (m_keepsBrackets)
        return;
    const char quote = m_quote[0];
    enum class State { Plain, Literal, Name };
    State state = State::Plain;
    std::string out;
    out.reserve(statement.size() + 8);
    const std::size_t size = statement.size();
    for (std::size_t i = 0; i < size; ++i) {
        const char c = statement[i];
        const bool doubled = i + 1 < size && statement[i + 1] == c;
        switch (state) {
        case State::Literal:
            out += c;
            if (c == '\'') {
                if (doubled)
                    out += statement[++i];
                else
                    state = State::Plain;
            }
            break;
        case State::Name:
            if (c == ']') {
                if (doubled) {
                    out += c;
                    ++i;
                } else {
                    out += quote;
                    state = State::Plain;
                }
            } else {
                out += c;
                if (c == quote && Quotes())
                    out += c;
            }
            break;
        case State::Plain:
            if (c == '\'') {
                out += c;
                if (doubled)
                    out += statement[++i];
                else
                    state = State::Literal;
            } else if (c == '[' || c == ']') {
                if (doubled) {
                    out += c;
                    ++i;
                } else {
                    out += quote;
                    if (c == '[')
                        state = State::Name;
                }
            } else {
                out += c;
            }
            break;
        }
    }
    statement.swap(out);
}

std::string IdentifierQuoting::Quoted(std::string_view name) const
{
    if (!Quotes())
        return std::string(name);
    const char quote = m_quote[0];
    std::string quoted(1, quote);
    for (const char c : name) {
        quoted += c;
        if (c == quote)
            quoted += c;
    }
    quoted += quote;
    return quoted;
}
