#include "datasource/WholeTableQuery.h"

namespace {

constexpr const char kPrefix[] = "Select * from ";

bool Quoting(const std::string& quote)
{
    return !quote.empty() && quote != " ";
}

} // namespace

std::string QuotedIdentifier(const std::string& name, const std::string& identifierQuote)
{
    if (!Quoting(identifierQuote))
        return name;
    // A quote character inside the name is doubled, the SQL way of writing it.
    std::string quoted = identifierQuote;
    for (std::size_t i = 0; i < name.size();) {
        if (name.compare(i, identifierQuote.size(), identifierQuote) == 0) {
            quoted += identifierQuote + identifierQuote;
            i += identifierQuote.size();
        } else {
            quoted += name[i++];
        }
    }
    return quoted + identifierQuote;
}

std::string SelectAllText(const std::string& table, const std::string& identifierQuote)
{
    return kPrefix + QuotedIdentifier(table, identifierQuote);
}

std::string SelectListText(const std::vector<std::string>& expressions, const std::string& table,
                           const std::string& identifierQuote)
{
    std::string sql = "Select ";
    for (std::size_t i = 0; i < expressions.size(); ++i) {
        if (i > 0)
            sql += ", ";
        sql += expressions[i];
    }
    return sql + " from " + QuotedIdentifier(table, identifierQuote);
}
