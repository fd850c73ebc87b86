#include "merge/SqlLiterals.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "common/AsciiNoCase.h"
#include "datasource/DriverFacts.h"

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

// A byte that a client may change or drop in a script, or that ends a C
// string: the control characters but the line feed, which every client keeps
// inside a literal (the sqlite3 shell turns CR LF into LF, the clients stop at
// a NUL, a terminal completes at a tab).
bool IsControl(unsigned char c)
{
    return (c < 0x20 && c != '\n') || c == 0x7F;
}

bool HasControlOrBackslash(std::string_view value)
{
    return std::any_of(value.begin(), value.end(), [](unsigned char c) { return c == '\\' || IsControl(c); });
}

// Apostrophes doubled; no enclosing apostrophes.
void AppendDoubled(std::string& out, std::string_view value)
{
    for (const char c : value) {
        if (c == '\'')
            out += c;
        out += c;
    }
}

void AppendPlainText(std::string& out, std::string_view value)
{
    out += '\'';
    AppendDoubled(out, value);
    out += '\'';
}

// SQLite has no escapes in a string literal: control characters are joined in
// as char(...), so that a script keeps them too.
void AppendSqliteText(std::string& out, std::string_view value)
{
    if (value.empty()) {
        out += "''";
        return;
    }
    std::size_t i = 0;
    while (i < value.size()) {
        if (i > 0)
            out += "||";
        std::size_t end = i;
        if (IsControl(static_cast<unsigned char>(value[i]))) {
            out += "char(";
            for (; end < value.size() && IsControl(static_cast<unsigned char>(value[end])); ++end) {
                if (end > i)
                    out += ',';
                out += std::to_string(static_cast<unsigned char>(value[end]));
            }
            out += ')';
        } else {
            while (end < value.size() && !IsControl(static_cast<unsigned char>(value[end])))
                ++end;
            AppendPlainText(out, value.substr(i, end - i));
        }
        i = end;
    }
}

// PostgreSQL reads a backslash in '...' as an escape when
// standard_conforming_strings is off, and as itself when it is on; in E'...'
// it always escapes. A value with backslashes or control characters goes in
// E'...', the others as plain literals, which mean the same either way.
// Apostrophes are always doubled, never escaped with a backslash, so that
// the literal ends in the same place for a reader of either kind.
void AppendPostgresText(std::string& out, std::string_view value)
{
    if (!HasControlOrBackslash(value)) {
        AppendPlainText(out, value);
        return;
    }
    static const char octal[] = "01234567";
    out += "E'";
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\'') {
            out += "''";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (IsControl(byte)) {
            // A NUL gives \000, which the server refuses: text cannot hold it.
            out += '\\';
            out += octal[byte >> 6];
            out += octal[(byte >> 3) & 7];
            out += octal[byte & 7];
        } else {
            out += c;
        }
    }
    out += '\'';
}

void AppendHexDigits(std::string& out, std::string_view bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += digits[byte >> 4];
        out += digits[byte & 15];
    }
}

// MySQL and MariaDB read a backslash in '...' as an escape unless the sql_mode
// holds NO_BACKSLASH_ESCAPES. A value with backslashes or control characters
// goes in as a hex literal with a character set introducer, which no setting
// changes; so do characters beyond the Basic Multilingual Plane (a UTF-8 lead
// byte from F0), which a client connected as utf8mb3, the mariadb client's
// default, cannot pass. The introducer is the connection's character set, in
// which the value's bytes came.
void AppendMySqlText(std::string& out, std::string_view value, const SqlLiteralFacts& facts)
{
    const bool hex = std::any_of(value.begin(), value.end(), [](unsigned char c) {
        return c == '\\' || IsControl(c) || c >= 0xF0;
    });
    if (!hex) {
        AppendPlainText(out, value);
        return;
    }
    out += '_';
    out += facts.session.characterSet.empty() ? "utf8mb4" : facts.session.characterSet;
    out += " X'";
    AppendHexDigits(out, value);
    out += '\'';
}

// A text literal that means the same whatever the session is set to and
// whichever client runs it.
void AppendText(std::string& out, std::string_view value, const SqlLiteralFacts& facts)
{
    switch (facts.dbms) {
    case DbmsKind::Sqlite:
        AppendSqliteText(out, value);
        return;
    case DbmsKind::PostgreSql:
        AppendPostgresText(out, value);
        return;
    case DbmsKind::MySql:
        AppendMySqlText(out, value, facts);
        return;
    case DbmsKind::Other:
        break;
    }
    AppendPlainText(out, value);
}

// Driver texts of dates and times hold no apostrophe, but a source that stores
// any text in a date column can deliver one: it is doubled as in a character
// literal, so that no value can end the literal early.
void AppendDelimited(std::string& out, const std::string& prefix, std::string_view value, const std::string& suffix)
{
    out += prefix;
    AppendDoubled(out, value);
    out += suffix;
}

// A date, time or timestamp in the form the data source takes.
void AppendTemporal(std::string& out, const std::string& value, const std::string& prefix,
                    const std::string& suffix, const SqlLiteralFacts& facts)
{
    switch (facts.temporal) {
    case SqlLiteralFacts::TemporalForm::Quoted:
        AppendText(out, value, facts);
        return;
    case SqlLiteralFacts::TemporalForm::Jet:
    case SqlLiteralFacts::TemporalForm::OdbcEscape:
        AppendDelimited(out, prefix, value, suffix);
        return;
    }
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

// Values whose kind the dump spells apart from their column's type, and
// values that a literal of the column's usual form would change. True when
// `value` was written.
bool AppendValueOfItsOwnKind(std::string& out, const std::string& value, bool quoted, const ColumnInfo& column,
                             const SqlLiteralFacts& facts)
{
    if (quoted)
        return false;  // a quoted field is text as it stands
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
        AppendText(out, value, facts);
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
        // In E'...', so that standard_conforming_strings cannot change it.
        out += "E'\\\\x";
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
        AppendText(out, value, facts);
        return;
    case Form::Binary:
        // Text that is no hex rendering goes in as text rather than unquoted.
        if (!AppendBinaryLiteral(out, value, facts))
            AppendText(out, value, facts);
        return;
    case Form::Date:
        AppendTemporal(out, value, facts.datePrefix, facts.dateSuffix, facts);
        return;
    case Form::Time:
        AppendTemporal(out, value, facts.timePrefix, facts.timeSuffix, facts);
        return;
    case Form::Timestamp:
        // {d '...'} makes some drivers (psqlODBC) drop the time of day.
        if (facts.temporal == SqlLiteralFacts::TemporalForm::Jet)
            AppendTemporal(out, JetTimestamp(value), facts.datePrefix, facts.dateSuffix, facts);
        else
            AppendTemporal(out, value, "{ts '", "'}", facts);
        return;
    case Form::AsIs:
        // Only a number goes in as it stands; any other text would be read as
        // SQL (a column-name line of a dump gives WHERE [id]=id, true for every row).
        if (quoted || !IsPlainNumber(value))
            AppendText(out, value, facts);
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
        AppendText(out, value, facts);
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

std::string LiteralProblem(const std::string& value, const ColumnInfo& column, const SqlLiteralFacts& facts)
{
    if (value.find('\0') == std::string::npos)
        return {};
    switch (facts.dbms) {
    case DbmsKind::Sqlite:
    case DbmsKind::MySql:
        return {};
    case DbmsKind::PostgreSql:
        return "The value of column " + column.name + " holds a NUL byte, which " + facts.dbmsName +
               " cannot store in text.";
    case DbmsKind::Other:
        break;
    }
    return "The value of column " + column.name + " holds a NUL byte, which cannot be written into a statement for " +
           facts.dbmsName + ".";
}
