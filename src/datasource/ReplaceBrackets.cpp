#include "datasource/ReplaceBrackets.h"

void ReplaceBrackets(std::string& statement, const std::string& identifierQuote)
{
    const char quote = identifierQuote.size() == 1 ? identifierQuote[0] : ' ';
    // Rewritten in place: no replacement is longer than what it replaces.
    char* text = statement.data();
    const std::size_t size = statement.size();
    std::size_t out = 0;
    bool inLiteral = false;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = text[i];
        const bool doubled = i + 1 < size && text[i + 1] == c;
        if (c == '\'') {
            text[out++] = c;
            if (doubled)
                text[out++] = text[++i];
            else
                inLiteral = !inLiteral;
        } else if (!inLiteral && (c == '[' || c == ']')) {
            if (doubled) {
                text[out++] = c;
                ++i;
            } else {
                text[out++] = quote;
            }
        } else {
            text[out++] = c;
        }
    }
    statement.resize(out);
}
