#pragma once
// The query that reads a whole table for a dump.
#include <string>

// `name` in the identifier quotes, a quote inside it doubled; bare when the data
// source has no quote character ("", " " or several characters). The rules are
// IdentifierQuoting's.
std::string QuotedIdentifier(const std::string& name, const std::string& identifierQuote);

// "Select * from " and the quoted table name.
std::string SelectAllText(const std::string& table, const std::string& identifierQuote);
