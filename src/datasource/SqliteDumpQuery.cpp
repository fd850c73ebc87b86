#include "datasource/SqliteDumpQuery.h"

#include <cctype>
#include <cstdlib>

#include "common/AsciiNoCase.h"
#include "datasource/WholeTableQuery.h"

namespace {

// SQLite's own rules for the affinity a declared type gives a column.
enum class Affinity { text, numeric, integer, real, blob };

Affinity AffinityOf(const std::string& type)
{
    if (ContainsNoCase(type, "INT"))
        return Affinity::integer;
    if (ContainsNoCase(type, "CHAR") || ContainsNoCase(type, "CLOB") || ContainsNoCase(type, "TEXT"))
        return Affinity::text;
    if (type.empty() || ContainsNoCase(type, "BLOB"))
        return Affinity::blob;
    if (ContainsNoCase(type, "REAL") || ContainsNoCase(type, "FLOA") || ContainsNoCase(type, "DOUB"))
        return Affinity::real;
    return Affinity::numeric;
}

// The scale of "DECIMAL(12,2)"; -1 when the type gives none.
int DeclaredScale(const std::string& type)
{
    const std::size_t open = type.find('(');
    const std::size_t comma = type.find(',', open == std::string::npos ? type.size() : open);
    if (open == std::string::npos)
        return -1;
    if (comma == std::string::npos)
        return type.find(')', open) == std::string::npos ? -1 : 0;  // NUMERIC(10): no places
    return std::atoi(type.c_str() + comma + 1);
}

// How the values of an ordinary row of the column are told apart from the
// others: which classes the column's affinity lets it hold besides the usual one.
enum class Unusual { blobs, textsOrBlobs, notBlobs, any };

struct ColumnPlan {
    DumpColumn reading;
    Unusual unusual = Unusual::any;
};

ColumnPlan PlanColumn(const SqliteDeclaredColumn& column)
{
    ColumnPlan plan;
    DumpColumn& reading = plan.reading;
    reading.fetch = FetchAs::binary;
    const Affinity affinity = AffinityOf(column.type);
    const bool numbers = affinity == Affinity::integer || affinity == Affinity::numeric;
    if (column.type.empty()) {
        // No declared type: every value keeps the class it came with.
        reading.family = ValueFamily::plain;
    } else if (affinity == Affinity::text) {
        reading.family = ValueFamily::text;
        reading.naturalClass = 't';
        plan.unusual = Unusual::blobs;
    } else if (ContainsNoCase(column.type, "BLOB") || ContainsNoCase(column.type, "BINARY")) {
        reading.family = ValueFamily::binary;
        reading.naturalClass = 'b';
        plan.unusual = Unusual::notBlobs;
    } else if (affinity == Affinity::real) {
        reading.family = ValueFamily::floating;
        reading.naturalClass = 'r';
        plan.unusual = Unusual::textsOrBlobs;
    } else if (ContainsNoCase(column.type, "DATE") || ContainsNoCase(column.type, "TIME")) {
        // Dates are text or numbers (Unix times, Julian days), all written unquoted.
        reading.family = ValueFamily::temporal;
        reading.naturalClass = StorageClass::temporal;
        plan.unusual = Unusual::blobs;
    } else if (numbers) {
        if (ContainsNoCase(column.type, "DEC") || ContainsNoCase(column.type, "NUM")) {
            reading.family = ValueFamily::exact;
            reading.scale = DeclaredScale(column.type);
        } else if (ContainsNoCase(column.type, "BOOL")) {
            reading.family = ValueFamily::boolean;
        }
        reading.naturalClass = StorageClass::number;
        plan.unusual = Unusual::textsOrBlobs;
    }
    return plan;
}

std::string ValueExpression(const SqliteDeclaredColumn& column, const DumpColumn& reading,
                            const std::string& name)
{
    if (column.rowidAlias)
        return name;
    // A blob of the value's own bytes: texts are read whole, NUL bytes and all.
    const std::string bytes = "CAST(" + name + " AS BLOB)";
    if (reading.naturalClass == 't' || reading.naturalClass == 'b')
        return bytes;
    // SQLite renders a real with 15 digits. Its printf with the "!" flag gives
    // 17, which read back to the same double below 1e100; above, its digits
    // drift, and 21 of them are needed.
    return "CASE WHEN typeof(" + name + ") <> 'real' THEN " + bytes + " WHEN abs(" + name +
           ") < 1e100 THEN printf('%!.17g', " + name + ") ELSE printf('%!.20e', " + name + ") END";
}

// `a || b || ...` as a balanced tree: a chain as deep as a wide table has
// columns would pass SQLite's limit on the depth of an expression.
std::string Concatenation(const std::vector<std::string>& parts, std::size_t from, std::size_t to)
{
    if (to - from == 1)
        return parts[from];
    const std::size_t middle = from + (to - from) / 2;
    return "(" + Concatenation(parts, from, middle) + "||" + Concatenation(parts, middle, to) + ")";
}

// Whether any of `names` holds a value of an unusual class: one comparison per
// value and one call of the many-argument max() or min() per group (typeof()
// per value would cost a function call each). In SQLite's order NULL < numbers
// < text < blob, and no affinity converts a blob.
std::string UnusualTest(Unusual unusual, const std::vector<std::string>& names)
{
    std::string nullAs, function, comparison;
    switch (unusual) {
    case Unusual::blobs:
        nullAs = "''", function = "max", comparison = " >= X''";
        break;
    case Unusual::textsOrBlobs:
        nullAs = "0", function = "max", comparison = " >= ''";
        break;
    case Unusual::notBlobs:
        nullAs = "X''", function = "min", comparison = " < X''";
        break;
    case Unusual::any:
        return "1";
    }
    // SQLite takes at most 127 arguments by default.
    constexpr std::size_t kArguments = 100;
    std::string test;
    for (std::size_t from = 0; from < names.size(); from += kArguments) {
        const std::size_t to = std::min(names.size(), from + kArguments);
        if (!test.empty())
            test += " OR ";
        if (to - from == 1) {
            test += names[from] + comparison;  // NULL compares as NULL, which is no hit
            continue;
        }
        test += function + "(";
        for (std::size_t i = from; i < to; ++i)
            test += (i > from ? ", ifnull(" : "ifnull(") + names[i] + ", " + nullAs + ")";
        test += ")" + comparison;
    }
    return test;
}

std::string StringLiteral(const std::string& text)
{
    std::string literal = "'";
    for (const char c : text) {
        if (c == '\'')
            literal += '\'';
        literal += c;
    }
    return literal + "'";
}

} // namespace

std::string SqliteDeclaredColumnsQuery(const std::string& table, bool tableList)
{
    const std::string name = StringLiteral(table);
    // A table WITHOUT ROWID has no rowid for its INTEGER PRIMARY KEY to stand for.
    const std::string hasRowids =
        tableList ? " AND ifnull((SELECT max(wr) FROM pragma_table_list WHERE name = " + name + "), 1) = 0" : " AND 0";
    // Hidden columns of virtual tables are not in Select *; generated ones are.
    return "SELECT x.name, x.type, x.pk = 1 AND upper(x.type) = 'INTEGER' AND "
           "(SELECT count(*) FROM pragma_table_xinfo(" + name + ") WHERE pk > 0) = 1" + hasRowids +
           " FROM pragma_table_xinfo(" + name + ") AS x WHERE x.hidden <> 1";
}

SqliteDumpPlan PlanSqliteDump(const std::vector<SqliteDeclaredColumn>& declared, const std::string& identifierQuote)
{
    SqliteDumpPlan plan;
    std::vector<std::string> names, classes;
    std::vector<std::string> byTest[4];
    for (const SqliteDeclaredColumn& column : declared) {
        ColumnPlan columnPlan = PlanColumn(column);
        const std::string name = QuotedIdentifier(column.name, identifierQuote);
        columnPlan.reading.expression = ValueExpression(column, columnPlan.reading, name);
        byTest[static_cast<int>(columnPlan.unusual)].push_back(name);
        classes.push_back("substr(typeof(" + name + "), 1, 1)");
        plan.columns.push_back(std::move(columnPlan.reading));
    }
    if (classes.empty())
        return plan;
    std::string tests;
    for (int unusual = 0; unusual < 4; ++unusual) {
        if (byTest[unusual].empty())
            continue;
        if (!tests.empty())
            tests += " OR ";
        tests += UnusualTest(static_cast<Unusual>(unusual), byTest[unusual]);
        if (static_cast<Unusual>(unusual) == Unusual::any)
            break;
    }
    plan.classesExpression = "CASE WHEN " + tests + " THEN " + Concatenation(classes, 0, classes.size()) + " END";
    return plan;
}

std::string SqliteDumpSelect(const SqliteDumpPlan& plan, const std::string& table, const std::string& identifierQuote)
{
    std::vector<std::string> expressions{plan.classesExpression};
    for (const DumpColumn& column : plan.columns)
        expressions.push_back(column.expression);
    return SelectListText(expressions, table, identifierQuote);
}
