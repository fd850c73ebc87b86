#include "datasource/PostgresDumpQuery.h"

#include <sql.h>
#include <sqlext.h>

#include "common/AsciiNoCase.h"
#include "datasource/WholeTableQuery.h"

namespace {

bool IsDate(const ColumnInfo& column)
{
    return column.sqlType == SQL_TYPE_DATE || column.sqlType == SQL_DATE;
}

bool IsTimestamp(const ColumnInfo& column)
{
    return column.sqlType == SQL_TYPE_TIMESTAMP || column.sqlType == SQL_TIMESTAMP;
}

bool HasTimeZone(const ColumnInfo& column)
{
    return ContainsNoCase(column.typeName, "tz") || ContainsNoCase(column.typeName, "with time zone");
}

} // namespace

bool AddPostgresExpressions(std::vector<DumpColumn>& reading, const std::vector<ColumnInfo>& described,
                            const std::string& identifierQuote)
{
    bool any = false;
    for (std::size_t i = 0; i < described.size() && i < reading.size(); ++i) {
        const ColumnInfo& column = described[i];
        DumpColumn& dump = reading[i];
        const std::string name = QuotedIdentifier(column.name, identifierQuote);
        if (IsTimestamp(column) && HasTimeZone(column)) {
            // The session's time zone would decide the offset: at UTC every
            // server writes the same instant the same way.
            dump.expression = "(" + name + " AT TIME ZONE 'UTC')::text";
            dump.family = ValueFamily::utcTimestamp;
        } else if (IsDate(column) || IsTimestamp(column)) {
            dump.expression = name + "::text";
            dump.family = ValueFamily::temporal;
        } else if (EqualsNoCase(column.typeName, "money")) {
            dump.expression = name + "::numeric";
            dump.family = ValueFamily::exact;
        } else {
            continue;
        }
        dump.fetch = FetchAs::text;
        any = true;
    }
    return any;
}
