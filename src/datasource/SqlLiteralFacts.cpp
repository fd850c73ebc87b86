#include "datasource/SqlLiteralFacts.h"

SqlLiteralFacts SqlLiteralFacts::ForDriver(const std::string& driverName, const std::string& identifierQuote,
                                           const std::string& dbmsName)
{
    SqlLiteralFacts facts;
    const DriverFacts driver = DriverFacts::Of(driverName, dbmsName);
    facts.dbms = driver.dbms;
    facts.dbmsName = dbmsName;
    facts.jetDriver = driver.jetDriver;
    if (facts.jetDriver)
        facts.datePrefix = facts.dateSuffix = facts.timePrefix = facts.timeSuffix = "#";
    // A driver without identifier quoting (or one reporting several characters)
    // gets a blank, so bracketed names lose their brackets.
    facts.identifierQuote = identifierQuote.size() == 1 ? identifierQuote : " ";
    switch (facts.dbms) {
    case DbmsKind::Sqlite:
        facts.binary = BinaryForm::SqliteBlob;
        facts.savepoints = true;
        break;
    case DbmsKind::PostgreSql:
        facts.binary = BinaryForm::PostgresBytea;
        facts.savepoints = true;
        facts.errorAbortsTransaction = true;
        break;
    case DbmsKind::MySql:
        facts.backslashEscapes = true;
        facts.emptyHexAsString = true;
        facts.savepoints = true;
        break;
    case DbmsKind::Other:
        break;
    }
    return facts;
}
