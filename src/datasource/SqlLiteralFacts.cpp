#include "datasource/SqlLiteralFacts.h"

SqlLiteralFacts SqlLiteralFacts::ForDriver(const std::string& driverName, const std::string& identifierQuote,
                                           const std::string& dbmsName)
{
    SqlLiteralFacts facts;
    const DriverFacts driver = DriverFacts::Of(driverName, dbmsName);
    facts.dbms = driver.dbms;
    facts.dbmsName = dbmsName;
    facts.jetDriver = driver.jetDriver;
    facts.identifierQuote = IdentifierQuoting::QuoteFor(identifierQuote, facts.dbms);
    switch (facts.dbms) {
    case DbmsKind::Sqlite:
        facts.binary = BinaryForm::SqliteBlob;
        facts.temporal = TemporalForm::Quoted;
        facts.savepoints = true;
        break;
    case DbmsKind::PostgreSql:
        facts.binary = BinaryForm::PostgresBytea;
        facts.temporal = TemporalForm::Quoted;
        facts.savepoints = true;
        facts.errorAbortsTransaction = true;
        break;
    case DbmsKind::MySql:
        facts.temporal = TemporalForm::Quoted;
        facts.emptyHexAsString = true;
        facts.savepoints = true;
        break;
    case DbmsKind::Other:
        break;
    }
    if (facts.jetDriver) {
        facts.datePrefix = facts.dateSuffix = facts.timePrefix = facts.timeSuffix = "#";
        facts.keepsBrackets = true;
        facts.temporal = TemporalForm::Jet;
        facts.insertLeavesOutCounter = true;
    }
    return facts;
}
