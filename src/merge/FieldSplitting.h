#pragma once
// Splitting one row of a table dump back into its field texts.
#include <string>
#include <string_view>

#include "merge/CRowValues.h"

// Splits `line` (which it consumes: the line is empty afterwards) into `fields`,
// emptied first, and returns the number of fields.
//
// A field that is a quoted field of the dump (MergeFileLayout) gives the text
// between its quotes, separators and line breaks included, each doubled double
// quote read as one, and is marked quoted. Every other field runs to the next
// separator and is taken as it stands. A separator at the very end gives no
// empty field.
int SplitFields(std::string& line, CRowValues& fields, std::string_view separator);
