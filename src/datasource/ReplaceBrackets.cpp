#include "datasource/ReplaceBrackets.h"

#include <utility>

void ReplaceBrackets(std::string& statement, const std::string& identifierQuote)
{
    const char quote = identifierQuote.size() == 1 ? identifierQuote[0] : ' ';
    std::string result;
    result.reserve(statement.size());
    bool inLiteral = false;
    const std::size_t size = statement.size();
    for (std::size_t i = 0; i < size; ++i) {
        const char c = statement[i];
        const bool doubled = i + 1 < size && statement[i + 1] == c;
        if (c == '\'') {
            if (doubled) {
                result += "''";
                ++i;
            } else {
                result += c;
                inLiteral = !inLiteral;
            }
        } else if (!inLiteral && (c == '[' || c == ']')) {
            if (doubled) {
                result += c;
                ++i;
            } else {
                result += quote;
            }
        } else {
            result += c;
        }
    }
    statement = std::move(result);
}
