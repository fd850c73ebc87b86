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
// A field that is a quoted field of the dump (MergeFileLayout) gives the text
// between its quotes, separators and line breaks included, each doubled double
// quote read as one, and is marked quoted. Every other field runs to the next
// separator and is taken as it stands. A separator at the very end gives no
// empty field.
int SplitFields(std::string& line, CRowValues& fields, std::string_view separator);
