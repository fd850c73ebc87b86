#include "datasource/DumpColumn.h"

#include <sql.h>
#include <sqlext.h>

#include "common/AsciiNoCase.h"
#include "datasource/FloatText.h"
#include "datasource/ValueSpelling.h"

namespace {

bool IsTemporal(int sqlType)
{
    switch (sqlType) {
    case SQL_DATE:
    case SQL_TIME:
    case SQL_TIMESTAMP:
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
    case SQL_TYPE_TIMESTAMP:
        return true;
    default:
        return false;
    }
}

bool IsText(int sqlType)
{
    switch (sqlType) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
    case SQL_GUID:
    case -97:
        return true;
    default:
        return false;
    }
}

DumpColumn ReadingOf(const ColumnInfo& column, DbmsKind dbms)
{
    const int type = column.sqlType;
    DumpColumn reading;
    if (dbms == DbmsKind::MySql && EqualsNoCase(column.typeName, "bit")) {
        // BIT(1) comes as SQL_BIT, wider ones as BINARY: both as their bytes.
        reading.family = ValueFamily::bits;
        reading.fetch = FetchAs::binary;
    } else if (type == SQL_BINARY || type == SQL_VARBINARY || type == SQL_LONGVARBINARY) {
        reading.family = ValueFamily::binary;
        reading.fetch = FetchAs::binary;
    } else if (dbms == DbmsKind::PostgreSql && EqualsNoCase(column.typeName, "money")) {
        // Described as a double, which cannot hold every amount: the dump asks
        // for it as a numeric, other statements get the driver's text.
        reading.family = ValueFamily::exact;
    } else if (type == SQL_FLOAT || type == SQL_DOUBLE || type == SQL_REAL) {
        reading.family = ValueFamily::floating;
        // SQLite lets a floating-point column hold any text, which a binary
        // read would turn into NULL or 0: there they are read as text.
        if (dbms != DbmsKind::Sqlite)
            reading.fetch = type == SQL_REAL ? FetchAs::singleValue : FetchAs::doubleValue;
    } else if (IsTemporal(type)) {
        reading.family = ValueFamily::temporal;
    } else if (type == SQL_BIT || (dbms == DbmsKind::PostgreSql && EqualsNoCase(column.typeName, "bool"))) {
        // psqlODBC describes bool as text unless the data source says otherwise.
        reading.family = ValueFamily::boolean;
    } else if (type == SQL_NUMERIC || type == SQL_DECIMAL) {
        reading.family = ValueFamily::exact;
    } else if (IsText(type)) {
        const bool padded = dbms == DbmsKind::PostgreSql && (type == SQL_CHAR || type == SQL_WCHAR);
        reading.family = padded ? ValueFamily::paddedText : ValueFamily::text;
    }
    return reading;
}

// Text goes in quotes, unless a NUL byte makes it hex text.
bool SpellText(std::string& value, std::string& scratch)
{
    if (!ValueSpelling::NeedsHexText(value))
        return true;
    scratch.clear();
    ValueSpelling::AppendHexText(scratch, value);
    value.swap(scratch);
    return false;
}

void SpellBinary(std::string& value, std::string& scratch)
{
    scratch.clear();
    ValueSpelling::AppendHexBinary(scratch, value);
    value.swap(scratch);
}

// A real number's text from SQLite's printf has digits after a point or an
// exponent, or is Inf; an integer's has neither.
bool LooksReal(const std::string& value)
{
    return value.find_first_of(".eEIN") != std::string::npos;
}

void SpellNumber(const DumpColumn& column, std::string& value, bool real)
{
    if (!real) {
        if (column.family == ValueFamily::exact)
            ValueSpelling::PadToScale(value, column.scale);
        return;
    }
    switch (column.family) {
    case ValueFamily::floating:
        RewriteAsShortestDouble(value);
        return;
    case ValueFamily::exact: {
        double number = 0;
        if (ParseDouble(value, number))
            value = ShortestPositionalText(number);
        ValueSpelling::PadToScale(value, column.scale);
        return;
    }
    default:
        // Where the column's type does not make it a real, its text must.
        RewriteAsShortestDouble(value);
        ValueSpelling::MarkAsReal(value);
        return;
    }
}

bool SpellByFamily(const DumpColumn& column, std::string& value, std::string& scratch)
{
    switch (column.family) {
    case ValueFamily::text:
        return SpellText(value, scratch);
    case ValueFamily::paddedText:
        value.erase(value.find_last_not_of(' ') + 1);
        return SpellText(value, scratch);
    case ValueFamily::binary:
        SpellBinary(value, scratch);
        return false;
    case ValueFamily::floating:
        // Binary reads were spelled as they were read.
        if (column.fetch == FetchAs::text)
            RewriteAsShortestDouble(value);
        return false;
    case ValueFamily::exact:
        ValueSpelling::PadToScale(value, column.scale);
        return false;
    case ValueFamily::temporal:
        ValueSpelling::TrimFractionZeros(value);
        return false;
    case ValueFamily::utcTimestamp:
        ValueSpelling::TrimFractionZeros(value);
        ValueSpelling::AppendUtcOffset(value);
        return false;
    case ValueFamily::boolean:
        ValueSpelling::SpellBoolean(value);
        return false;
    case ValueFamily::bits:
        value = ValueSpelling::BitsAsNumber(value);
        return false;
    case ValueFamily::plain:
        return false;
    }
    return false;
}

} // namespace

std::vector<DumpColumn> DescribedReading(const std::vector<ColumnInfo>& columns, DbmsKind dbms)
{
    std::vector<DumpColumn> reading;
    reading.reserve(columns.size());
    for (const ColumnInfo& column : columns)
        reading.push_back(ReadingOf(column, dbms));
    return reading;
}

bool SpellValue(const DumpColumn& column, char storageClass, std::string& value, std::string& scratch)
{
    switch (storageClass) {
    case StorageClass::none:
        return SpellByFamily(column, value, scratch);
    case 'b':
        SpellBinary(value, scratch);
        return false;
    case 't':
        if (column.family != ValueFamily::temporal)
            return SpellText(value, scratch);
        ValueSpelling::TrimFractionZeros(value);
        return false;
    case 'i':
        SpellNumber(column, value, false);
        return false;
    case 'r':
        SpellNumber(column, value, true);
        return false;
    case StorageClass::number:
        SpellNumber(column, value, LooksReal(value));
        return false;
    case StorageClass::temporal: {
        double number = 0;
        if (ParseDouble(value, number))
            SpellNumber(column, value, LooksReal(value));
        else
            ValueSpelling::TrimFractionZeros(value);
        return false;
    }
    default:
        return SpellByFamily(column, value, scratch);
    }
}
