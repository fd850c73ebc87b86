#pragma once
// Splitting one row of a table dump back into its field texts.
#include <string>
#include <string_view>

#include "merge/CRowValues.h"

// Replaces every occurrence of `find` by `replacement`, left to right, going on
// after each replacement so that inserted text is never scanned again. An empty
// `find` changes nothing. Returns the number of replacements.
int ReplaceAll(std::string& text, std::string_view find, std::string_view replacement);

// Splits `line` (which it consumes: the line is empty afterwards) into `fields`,
// emptied first, and returns the number of fields.
//
// A field that begins with a double quote whose next double quote is the last
// character or is followed by the separator is a quoted field: its text is what
// lies between the quotes, separators included, and it is marked quoted. Every
// other field runs to the next separator. In both, two apostrophes in a row
// become one double quote again (the dump writes a double quote inside a text
// value as two apostrophes). A separator at the very end gives no empty field.
int SplitFields(std::string& line, CRowValues& fields, std::string_view separator);
