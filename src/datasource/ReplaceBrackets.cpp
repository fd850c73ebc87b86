#include "datasource/ReplaceBrackets.h"

void ReplaceBrackets(std::string& statement, const std::string& identifierQuote)
{
    const char quote = identifierQuote.size() == 1 ? identifierQuote[0] : ' ';
    // A quote character inside a quoted name is written twice; a blank stands
    // for no quoting and is not.
    const bool doubleQuoteInName = quote != ' ';
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
            // An apostrophe in a name opens no literal; "]]" is a bracket of the name.
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
                if (c == quote && doubleQuoteInName)
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
