#include "merge/SqlLiterals.h"

#include <algorithm>
#include <cctype>

#include "common/AsciiNoCase.h"
#include "datasource/DriverFacts.h"
#include "datasource/ValueSpelling.h"

namespace {

// ODBC SQL type codes (ODBC 2 codes and their ODBC 3 counterparts).
enum SqlType : int {
    kChar = 1, kVarChar = 12, kLongVarChar = -1, kWChar = -8, kWVarChar = -9, kWLongVarChar = -10,
    kGuid = -11, kDriverText = -97,
    kBinary = -2, kVarBinary = -3, kLongVarBinary = -4,
    kDate = 9, kTime = 10, kTimestamp = 11, kTypeDate = 91, kTypeTime = 92, kTypeTimestamp = 93,
    kFloat = 6, kReal = 7, kDouble = 8, kBit = -7,
};

bool IsFloatingPoint(int sqlType)
{
    return sqlType == kFloat || sqlType == kReal || sqlType == kDouble;
}

enum class Form { Character, Binary, Date, Time, Timestamp, AsIs };

Form FormOf(int sqlType)
{
    switch (sqlType) {
    case kChar: case kVarChar: case kLongVarChar: case kWChar: case kWVarChar: case kWLongVarChar:
    case kGuid: case kDriverText:
        return Form::Character;
    case kBinary: case kVarBinary: case kLongVarBinary:
        return Form::Binary;
    case kDate: case kTypeDate:
        return Form::Date;
    case kTime: case kTypeTime:
        return Form::Time;
    case kTimestamp: case kTypeTimestamp:
        return Form::Timestamp;
    default:
        return Form::AsIs;
    }
}

// Apostrophes doubled (and backslashes, where they escape); no enclosing apostrophes.
void AppendEscaped(std::string& out, const std::string& value, bool backslashEscapes)
{
    for (const char c : value) {
        if (c == '\'' || (c == '\\' && backslashEscapes))
            out += c;
        out += c;
    }
}

void AppendCharacter(std::string& out, const std::string& value, const SqlLiteralFacts& facts)
{
    out += '\'';
    AppendEscaped(out, value, facts.backslashEscapes);
    out += '\'';
}

// Driver texts of dates and times hold no apostrophe or backslash, but a source
// that stores any text in a date column can deliver both: they are escaped as in
// a character literal, so that no value can end the literal early.
void AppendDelimited(std::string& out, const std::string& prefix, const std::string& value,
                     const std::string& suffix, const SqlLiteralFacts& facts)
{
    out += prefix;
    AppendEscaped(out, value, facts.backslashEscapes);
    out += suffix;
}

bool IsHexDigits(std::string_view text)
{
    return text.size() % 2 == 0 &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
}

// A decimal number as drivers render them: an optional sign, digits with at
// most one decimal point (at least one digit), an optional exponent.
bool IsPlainNumber(std::string_view text)
{
    std::size_t i = 0;
    const auto digitsFrom = [&](std::size_t& at) {
        const std::size_t start = at;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])))
            ++at;
        return at - start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = digitsFrom(i);
    if (i < text.size() && text[i] == '.') {
        ++i;
        digits += digitsFrom(i);
    }
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (digitsFrom(i) == 0)
            return false;
    }
    return i == text.size();
}

bool IsUnsignedInteger(std::string_view text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

bool IsHexBinary(std::string_view text)
{
    return text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && IsHexDigits(text.substr(2));
}

void AppendHexDigits(std::string& out, const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    for (const unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
}

// A text that holds NUL bytes, which no character literal can carry: as its
// bytes where the DBMS stores them in a text.
void AppendTextOfBytes(std::string& out, const std::string& text, const SqlLiteralFacts& facts)
{
    switch (facts.dbms) {
    case DbmsKind::Sqlite:
        out += "CAST(X'";
        AppendHexDigits(out, text);
        out += "' AS TEXT)";
        return;
    case DbmsKind::MySql:
        out += "_utf8mb4 X'";
        AppendHexDigits(out, text);
        out += '\'';
        return;
    case DbmsKind::PostgreSql:
    case DbmsKind::Other:
        break;
    }
    AppendCharacter(out, text, facts);
}

// Values whose kind the dump spells apart from their column's type, and
// values that a literal of the column's usual form would change. True when
// `value` was written.
bool AppendValueOfItsOwnKind(std::string& out, const std::string& value, bool quoted, const ColumnInfo& column,
                             const SqlLiteralFacts& facts)
{
    if (quoted)
        return false;  // a quoted field is text as it stands
    std::string bytes;
    if (ValueSpelling::ReadHexText(value, bytes)) {
        AppendTextOfBytes(out, bytes, facts);
        return true;
    }
    const Form form = FormOf(column.sqlType);
    if (facts.dbms == DbmsKind::Sqlite && form != Form::Binary) {
        // A SQLite column keeps the storage class a value comes with, whatever
        // its type: a blob stays a blob, a number a number even in a text column.
        if (IsHexBinary(value))
            return AppendBinaryLiteral(out, value, facts);
        if (value == "Infinity" || value == "-Infinity") {
            out += value[0] == '-' ? "-9e999" : "9e999";  // too large for a double: SQLite makes it infinite
            return true;
        }
        if (form == Form::Character && IsPlainNumber(value)) {
            out += value;
            return true;
        }
        return false;
    }
    if (facts.dbms == DbmsKind::PostgreSql && (IsFloatingPoint(column.sqlType) || column.sqlType == kBit)) {
        // An untyped literal takes the column's type: -0, Infinity and NaN
        // arrive as they are (a numeric literal has no negative zero and no
        // infinity), 1 and 0 as a boolean, an amount as money.
        AppendCharacter(out, value, facts);
        return true;
    }
    if (facts.dbms == DbmsKind::MySql && EqualsNoCase(column.typeName, "bit") && IsUnsignedInteger(value)) {
        // The number a BIT(n) holds; its bytes come as 0x.. in older files.
        out += value;
        return true;
    }
    return false;
}

} // namespace

bool AppendBinaryLiteral(std::string& out, std::string_view value, const SqlLiteralFacts& facts)
{
    std::string_view hex = value;
    if (hex.size() >= 2 && hex[0] == '0' && (hex[1] == 'x' || hex[1] == 'X'))
        hex.remove_prefix(2);
    if (!IsHexDigits(hex))
        return false;
    switch (facts.binary) {
    case SqlLiteralFacts::BinaryForm::SqliteBlob:
        out += "X'";
        out += hex;
        out += '\'';
        break;
    case SqlLiteralFacts::BinaryForm::PostgresBytea:
        out += "'\\x";
        out += hex;
        out += '\'';
        break;
    case SqlLiteralFacts::BinaryForm::HexNumber:
        if (hex.empty() && facts.emptyHexAsString) {
            out += "''";
        } else {
            out += "0x";
            out += hex;
        }
        break;
    }
    return true;
}

std::string JetTimestamp(const std::string& value)
{
    if (value.find('-') != 4)
        return value;
    std::string result = value.substr(5, 5);
    result += '/';
    result.append(value, 0, 4);
    if (value.size() > 10)
        result.append(value, 10, std::string::npos);
    if (result.size() > 2)
        result[2] = '/';
    return result;
}

void AppendSqlLiteral(std::string& out, const std::string& value, bool quoted, const ColumnInfo& column,
                      const SqlLiteralFacts& facts)
{
    if (!quoted && value == "NULL") {
        out += "NULL";
        return;
    }
    if (AppendValueOfItsOwnKind(out, value, quoted, column, facts))
        return;
    switch (FormOf(column.sqlType)) {
    case Form::Character:
        AppendCharacter(out, value, facts);
        return;
    case Form::Binary:
        // Text that is no hex rendering goes in as text rather than unquoted.
        if (!AppendBinaryLiteral(out, value, facts))
            AppendCharacter(out, value, facts);
        return;
    case Form::Date:
        AppendDelimited(out, facts.datePrefix, value, facts.dateSuffix, facts);
        return;
    case Form::Time:
        AppendDelimited(out, facts.timePrefix, value, facts.timeSuffix, facts);
        return;
    case Form::Timestamp:
        // {d '...'} makes some drivers (psqlODBC) drop the time of day.
        // No Jet driver (ODBCJT32.DLL) on Linux: kept, as stored files and language modules may rely on it.
        if (facts.jetDriver)
            AppendDelimited(out, facts.datePrefix, JetTimestamp(value), facts.dateSuffix, facts);
        else
            AppendDelimited(out, "{ts '", value, "'}", facts);
        return;
    case Form::AsIs:
        // Only a number goes in as it stands; any other text would be read as
        // SQL (a column-name line of a dump gives WHERE [id]=id, true for every row).
        if (quoted || !IsPlainNumber(value))
            AppendCharacter(out, value, facts);
        else
            out += value;
        return;
    }
}

void AppendConditionLiteral(std::string& out, const std::string& value, bool quoted, const ColumnInfo& column,
                            const SqlLiteralFacts& facts)
{
    const bool number = !quoted && IsPlainNumber(value);
    if (number && facts.dbms == DbmsKind::PostgreSql && IsFloatingPoint(column.sqlType)) {
        // An untyped literal takes the column's type.
        AppendCharacter(out, value, facts);
        return;
    }
    if (number && facts.dbms == DbmsKind::MySql && column.sqlType == kReal) {
        out += "CAST(";
        out += value;
        out += " AS FLOAT)";
        return;
    }
    AppendSqlLiteral(out, value, quoted, column, facts);
}
