#include "datasource/SqlLiteralFacts.h"

#include "datasource/DriverFacts.h"

SqlLiteralFacts SqlLiteralFacts::ForDriver(const std::string& driverName, const std::string& identifierQuote,
                                           const std::string& dbmsName)
{
    SqlLiteralFacts facts;
    facts.jetDriver = DriverFacts::Of(driverName, dbmsName).jetDriver;
    if (facts.jetDriver)
        facts.datePrefix = facts.dateSuffix = facts.timePrefix = facts.timeSuffix = "#";
    // A driver without identifier quoting (or one reporting several characters)
    // gets a blank, so bracketed names lose their brackets.
    facts.identifierQuote = identifierQuote.size() == 1 ? identifierQuote : " ";
    facts.dbmsName = dbmsName;
    return facts;
}
