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
