#include "datasource/SqlLiteralFacts.h"

#include <algorithm>
#include <cctype>

namespace {

bool EqualsIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

SqlLiteralFacts SqlLiteralFacts::ForDriver(const std::string& driverName, const std::string& identifierQuote,
                                           const std::string& dbmsName)
{
    SqlLiteralFacts facts;
    // No Jet driver (ODBCJT32.DLL) on Linux: kept, as stored files and language modules may rely on it.
    facts.jetDriver = EqualsIgnoringCase(driverName, "ODBCJT32.DLL");
    if (facts.jetDriver)
        facts.datePrefix = facts.dateSuffix = facts.timePrefix = facts.timeSuffix = "#";
    // A driver without identifier quoting (or one reporting several characters)
    // gets a blank, so bracketed names lose their brackets.
    facts.identifierQuote = identifierQuote.size() == 1 ? identifierQuote : " ";
    facts.dbmsName = dbmsName;
    return facts;
}
