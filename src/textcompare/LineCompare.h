#pragma once
// What makes two lines equal under the current comparison options, and the
// hash that finds candidates quickly.
#include <cstdint>

#include "textcompare/LineRecord.h"

inline constexpr std::uint32_t kLineHashMultiplier = 6293815u;  // 0x600937

// Hash of a NUL-terminated text, with wrapping 32-bit arithmetic: the sum over
// the characters c (signed bytes) of c * i * m, where i counts the characters
// from 1 and m is kLineHashMultiplier to the power i. With ignoreWhitespace,
// spaces, tabs and CRs are skipped before they are counted; with ignoreCase,
// ASCII letters count as their upper case (other bytes stay as they are).
std::uint32_t LineHash(const char* text, bool ignoreWhitespace, bool ignoreCase);

// The line's hash under the current options, computed once and cached.
std::uint32_t GetLineHash(LineRecord* line);

// Whether two lines are equal under the current options (none is never equal).
bool LinesEqual(LineRecord* a, LineRecord* b);

// Pairs two equal lines that have no partner yet; false when that is not so.
bool LinkLines(LineRecord* a, LineRecord* b);

// A line of nothing but spaces, tabs and CRs before its LF or its end.
bool IsBlankLine(const LineRecord* line);

// The three bytes "Ignore Whitespace" disregards.
inline bool IsIgnorableSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}
