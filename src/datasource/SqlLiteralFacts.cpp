#include "datasource/SqlLiteralFacts.h"

#include "common/AsciiNoCase.h"

SqlLiteralFacts SqlLiteralFacts::ForDriver(const std::string& driverName, const std::string& identifierQuote,
                                           const std::string& dbmsName)
{
    SqlLiteralFacts facts;
    // No Jet driver (ODBCJT32.DLL) on Linux: kept, as stored files and language modules may rely on it.
    facts.jetDriver = EqualsNoCase(driverName, "ODBCJT32.DLL");
    if (facts.jetDriver)
        facts.datePrefix = facts.dateSuffix = facts.timePrefix = facts.timeSuffix = "#";
    // A driver without identifier quoting (or one reporting several characters)
    // gets a blank, so bracketed names lose their brackets.
    facts.identifierQuote = identifierQuote.size() == 1 ? identifierQuote : " ";
    facts.dbmsName = dbmsName;
    return facts;
}
