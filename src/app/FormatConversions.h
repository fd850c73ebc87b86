#pragma once
// The printf conversions of a text, as the kinds of argument they read. A
// language module's text for a format must read the same arguments as the
// program's own text of that number: the program passes the arguments its own
// text asks for, and vsnprintf trusts the format.
#include <optional>
#include <string>
#include <vector>

// One entry per argument the format reads, in order ("int", "long int",
// "double", "string", ...); "%%" reads none. std::nullopt for a text that is
// no safe format: a conversion that is cut off or unknown, or "%n", which
// writes through its argument.
std::optional<std::vector<std::string>> FormatConversions(const std::string& format);

// True when `translated` may stand in for `own` as a format: both read the
// same arguments. A text whose own version is no format at all is never used
// as one, so any translation of it is fine.
bool SameFormatConversions(const std::string& translated, const std::string& own);
