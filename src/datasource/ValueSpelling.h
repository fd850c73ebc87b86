#pragma once
// The spelling of values in table dumps (and so in merge files) where drivers
// write the same value differently: each function turns one driver's text into
// the one spelling of its type family, so that the same rows dump alike on
// every engine. Floating-point values are spelled by FloatText.
#include <cstddef>
#include <string>
#include <string_view>

namespace ValueSpelling {

// Times and timestamps: the fraction of a second without trailing zeros, and
// without its point when nothing is left ("23:59:59.500000" is "23:59:59.5",
// "23:59:59.000" is "23:59:59"). An offset or era after it stays. Text that
// holds no time of day stays as it is.
void TrimFractionZeros(std::string& text);

// Exact numerics: the digits after the decimal point filled up with zeros to
// `scale` (1.5 at scale 2 is 1.50, 7 is 7.00). Digits beyond the scale stay; a
// value that is no plain decimal number (NaN) stays as it is.
void PadToScale(std::string& text, int scale);

// A PostgreSQL timestamp with time zone read at UTC: "+00" after its time, or
// before the era of a date BC; infinities stay as they are.
void AppendUtcOffset(std::string& text);

// Booleans: 1 or 0 for the drivers' spellings of true and false (1/0, t/f,
// true/false in any case); other text stays. False when it stayed.
bool SpellBoolean(std::string& text);

// BIT(n) values that come as their bytes (most significant first): the
// unsigned number they hold, in decimal. At most eight bytes are read.
std::string BitsAsNumber(std::string_view bytes);

// A real number where the column's type does not say it is one (SQLite): ".0"
// after the shortest text when that holds no point, exponent or letter, so
// that it reads back as a real and not as an integer ("2" becomes "2.0").
void MarkAsReal(std::string& text);

// Binary values: "0x" and two hexadecimal digits (upper case) per byte.
void AppendHexBinary(std::string& out, std::string_view bytes);

} // namespace ValueSpelling
