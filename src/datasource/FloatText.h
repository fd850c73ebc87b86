#pragma once
// Floating-point values as dump text: the shortest text that reads back to the
// same value, so that no digit is lost on the way through a dump and the same
// value reads alike whichever driver delivered it.
#include <string>

std::string ShortestText(double value);
std::string ShortestText(float value);

// Rewrites `text` in the shortest form when the whole of it is a decimal number
// (a driver's rendering of a double); other text stays as it is. False then.
bool RewriteAsShortestDouble(std::string& text);
