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

void SpellBinary(std::string& value, std::string& scratch)
{
    scratch.clear();
    ValueSpelling::AppendHexBinary(scratch, value);
    value.swap(scratch);
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

// A date as text: SQLite lets it be any text. One with a NUL byte goes in
// quotes, where alone a merge file may hold one.
FieldForm SpellTemporalText(std::string& value)
{
    if (value.find('\0') != std::string::npos)
        return FieldForm::quoted;
    ValueSpelling::TrimFractionZeros(value);
    return FieldForm::checked;
}

FieldForm SpellByFamily(const DumpColumn& column, std::string& value, std::string& scratch)
{
    switch (column.family) {
    case ValueFamily::text:
        return FieldForm::quoted;
    case ValueFamily::paddedText:
        value.erase(value.find_last_not_of(' ') + 1);
        return FieldForm::quoted;
    case ValueFamily::binary:
        SpellBinary(value, scratch);
        return FieldForm::bare;
    case ValueFamily::floating:
        // Binary reads were spelled as they were read; a text that is no number stays.
        if (column.fetch != FetchAs::text)
            return FieldForm::bare;
        return RewriteAsShortestDouble(value) ? FieldForm::bare : FieldForm::checked;
    case ValueFamily::exact:
        ValueSpelling::PadToScale(value, column.scale);
        return FieldForm::checked;
    case ValueFamily::temporal:
        return SpellTemporalText(value);
    case ValueFamily::utcTimestamp:
        ValueSpelling::TrimFractionZeros(value);
        ValueSpelling::AppendUtcOffset(value);
        return FieldForm::checked;
    case ValueFamily::boolean:
        return ValueSpelling::SpellBoolean(value) ? FieldForm::bare : FieldForm::checked;
    case ValueFamily::bits:
        value = ValueSpelling::BitsAsNumber(value);
        return FieldForm::bare;
    case ValueFamily::plain:
        return FieldForm::checked;
    }
    return FieldForm::checked;
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

FieldForm SpellValue(const DumpColumn& column, char storageClass, std::string& value, std::string& scratch)
{
    switch (storageClass) {
    case 'b':
        SpellBinary(value, scratch);
        return FieldForm::bare;
    case 't':
        return column.family == ValueFamily::temporal ? SpellTemporalText(value) : FieldForm::quoted;
    case 'i':
    case 'r':
        SpellNumber(column, value, storageClass == 'r');
        return FieldForm::bare;
    default:
        return SpellByFamily(column, value, scratch);
    }
}
