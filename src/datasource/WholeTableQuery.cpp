#include "datasource/WholeTableQuery.h"

#include "datasource/IdentifierQuoting.h"

std::string QuotedIdentifier(const std::string& name, const std::string& identifierQuote)
{
    return IdentifierQuoting(identifierQuote, false).Quoted(name);
}

std::string SelectAllText(const std::string& table, const std::string& identifierQuote)
{
    return "Select * from " + QuotedIdentifier(table, identifierQuote);
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
