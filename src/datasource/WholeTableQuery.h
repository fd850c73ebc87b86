#pragma once
// The query that reads a whole table, and the way back from it to the table:
// a dump is made from this text, and the key column list asks the catalog
// about the table it names.
#include <string>

// "Select * from " and the table name in the identifier quotes, a quote inside
// the name doubled; the name goes in bare when the data source has no quote
// character ("" or " ").
std::string SelectAllText(const std::string& table, const std::string& identifierQuote);

// The table name of a text SelectAllText makes (the prefix in any case), its
// quotes removed; empty for any other text.
std::string TableOfSelectAll(const std::string& sql, const std::string& identifierQuote);
