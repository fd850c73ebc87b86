#pragma once
// The bracket rewrite of generated SQL: statements name tables and columns as
// [name]; the data source wants its own identifier quote.
#include <string>

// Outside text literals, a single '[' or ']' becomes `identifierQuote` (a blank
// unless it is exactly one character) and a doubled "[[" or "]]" one bracket.
// An apostrophe opens or closes a literal; two in a row are copied as they are
// without changing the state. Brackets inside literals are left alone. Inside
// a name ("[" to "]"), "]]" is a bracket of the name, an apostrophe is an
// ordinary character and the quote character is written twice.
void ReplaceBrackets(std::string& statement, const std::string& identifierQuote);
