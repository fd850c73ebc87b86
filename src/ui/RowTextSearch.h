#pragma once
// Text matching of the report list's Find: plain byte strings (UTF-8), so that a
// search over a long list compares bytes and builds no Qt text per row.
#include <string>
#include <string_view>

// Lower-cases the ASCII letters; other bytes stay as they are.
void ToLowerAscii(std::string& text);

// Whether `needle` occurs in `text`. With `wholeWord`, only an occurrence with
// a separator on either side counts: anything but a letter of any script, a
// combining mark or '_' (digits, punctuation and symbols separate words), and
// the start and end of the text. After an occurrence that does not count, the
// search goes on behind it, and the start of that rest counts as a separator
// again (so in "ABCABC" the second "ABC" is a whole word).
bool ContainsMatch(std::string_view text, std::string_view needle, bool wholeWord);
