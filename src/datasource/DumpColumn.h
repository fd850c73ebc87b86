#pragma once
// How a dump reads one column and spells its values: the C type the value is
// fetched as, what the dump query selects for it where the driver's own
// conversion would lose values, and the type family whose one spelling it
// takes, whichever driver delivered it.
#include <string>
#include <vector>

#include "datasource/ColumnInfo.h"
#include "datasource/DriverFacts.h"

enum class ValueFamily {
    text,          // in double quotes, byte for byte (NUL bytes too)
    paddedText,    // PostgreSQL CHAR(n): text without the padding blanks the type adds
    binary,        // 0x and hexadecimal digits
    floating,      // the shortest text that reads back to the same value
    exact,         // decimal digits; at the declared scale where the driver does not keep it
    temporal,      // the fraction of a second without trailing zeros
    utcTimestamp,  // PostgreSQL timestamptz read at UTC: temporal with +00
    boolean,       // 1 or 0
    bits,          // MariaDB BIT(n), fetched as its bytes: the number it holds
    plain,         // as the driver writes it (integers and anything else)
};

enum class FetchAs { text, binary, doubleValue, singleValue };

// A SQLite value's storage class as typeof() names it by its first letter
// ('t' text, 'b' blob, 'i' integer, 'r' real), or none where the driver does
// not tell it and the value goes by its column's family.
namespace StorageClass {
inline constexpr char none = '\0';
} // namespace StorageClass

struct DumpColumn {
    ValueFamily family = ValueFamily::plain;
    FetchAs fetch = FetchAs::text;
    // exact: the scale the values are filled up to; -1 takes them as delivered.
    int scale = -1;
    // What the dump query selects for the column; empty for the column itself.
    std::string expression;
    // SQLite: the value's text tells its storage class (DecodeSqliteValue).
    bool classInText = false;
};

// The reading of a result as its columns are described (any statement): binary
// types as bytes, floating-point types as binary numbers (not on SQLite, where
// such a column holds any text), the families by type and type name.
std::vector<DumpColumn> DescribedReading(const std::vector<ColumnInfo>& columns, DbmsKind dbms);

// How the dump writes a spelled value: a text in double quotes; a value of
// another family bare, where its spelling cannot hold a quote, separator or
// line break, or else bare unless it would be misread (MergeFileLayout::NeedsQuotes).
enum class FieldForm { quoted, bare, checked };

// Spells a fetched value in place: `value` holds the driver's text or bytes as
// the column fetched them; `storageClass` is the value's SQLite storage class
// (or StorageClass::none). `scratch` is room the caller keeps between calls.
FieldForm SpellValue(const DumpColumn& column, char storageClass, std::string& value, std::string& scratch);
