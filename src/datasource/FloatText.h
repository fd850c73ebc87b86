#pragma once
// Floating-point values as dump text: the shortest text that reads back to the
// same value, so that no digit is lost on the way through a dump and the same
// value reads alike whichever driver delivered it. The values without digits
// have one spelling too: Infinity, -Infinity and NaN (as PostgreSQL writes
// them), and a negative zero keeps its sign (-0).
#include <string>

std::string ShortestText(double value);
std::string ShortestText(float value);

// Rewrites `text` in the shortest form when the whole of it is a decimal number
// or an infinity or NaN in any of the drivers' spellings (a driver's rendering
// of a double); other text stays as it is. False then.
bool RewriteAsShortestDouble(std::string& text);

// The shortest text in positional notation (no exponent) that reads back to
// the same double: 1e22 is 10000000000000000000000, 1e-7 is 0.0000001. For the
// exact numeric types, which have no exponent; the values without digits are
// spelled as ShortestText spells them.
std::string ShortestPositionalText(double value);

// Reads a decimal number, an infinity or NaN; false for any other text.
bool ParseDouble(const std::string& text, double& value);
