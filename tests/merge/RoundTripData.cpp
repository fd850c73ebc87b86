#include "RoundTripData.h"

#include <algorithm>

namespace roundtrip {
namespace {

const Value N = std::nullopt;  // SQL NULL

Value V(std::string text)
{
    return Value(std::move(text));
}

std::string Bytes(int first, int last)
{
    std::string bytes;
    const int step = first <= last ? 1 : -1;
    for (int b = first;; b += step) {
        bytes += static_cast<char>(b);
        if (b == last)
            break;
    }
    return bytes;
}

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (const unsigned char b : bytes) {
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return hex;
}

std::string LongText()
{
    std::string text;
    for (int i = 0; text.size() < 5000; ++i)
        text += "Part " + std::to_string(i) + ": \"quoted\", it's [bracketed],\r\nnext; ";
    return text;
}

} // namespace

std::string Literal(Dbms dbms, Kind kind, const Value& value)
{
    if (!value)
        return "NULL";
    const std::string& v = *value;
    switch (kind) {
    case Kind::Number:
        return v;
    case Kind::Bool:
        return dbms == Dbms::Postgres ? "'" + v + "'" : v;
    case Kind::Binary:
        switch (dbms) {
        case Dbms::Sqlite:
            return "X'" + Hex(v) + "'";
        case Dbms::Postgres:
            return "'\\x" + Hex(v) + "'";
        case Dbms::MariaDb:
            return v.empty() ? "''" : "0x" + Hex(v);
        }
        return {};
    case Kind::Text:
    case Kind::Temporal: {
        std::string literal = "'";
        for (const char c : v) {
            if (c == '\'' || (c == '\\' && dbms == Dbms::MariaDb))
                literal += c;
            literal += c;
        }
        return literal + "'";
    }
    }
    return {};
}

std::string QuotedName(Dbms dbms, const std::string& name)
{
    const std::string quote = dbms == Dbms::MariaDb ? "`" : "\"";
    return quote + name + quote;
}

std::string CreateTable(Dbms dbms, const Table& table, const std::string& name)
{
    std::string sql = "CREATE TABLE " + QuotedName(dbms, name) + " (";
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (i > 0)
            sql += ", ";
        sql += std::string(table.columns[i].name) + " " + table.columns[i].type[static_cast<int>(dbms)];
    }
    if (*table.primaryKey)
        sql += std::string(", PRIMARY KEY (") + table.primaryKey + ")";
    if (*table.uniqueKey)
        sql += std::string(", UNIQUE (") + table.uniqueKey + ")";
    return sql + ")";
}

std::string InsertRow(Dbms dbms, const Table& table, const std::string& name, const Row& row)
{
    std::string sql = "INSERT INTO " + QuotedName(dbms, name) + " VALUES (";
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i > 0)
            sql += ", ";
        sql += Literal(dbms, table.columns[i].kind, row[i]);
    }
    return sql + ")";
}

std::string SelectAll(const Table& table, const std::string& name, const std::string& quote)
{
    std::string sql = "SELECT ";
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (i > 0)
            sql += ", ";
        sql += table.columns[i].name;
    }
    return sql + " FROM " + quote + name + quote;
}

std::vector<rawodbc::Row> Sorted(std::vector<rawodbc::Row> rows)
{
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<rawodbc::Row> Expected(const std::vector<Row>& rows)
{
    return Sorted(std::vector<rawodbc::Row>(rows.begin(), rows.end()));
}

std::vector<rawodbc::Row> Normalised(std::vector<rawodbc::Row> rows, const Table& table)
{
    for (auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (!row[i])
                continue;
            std::string& v = *row[i];
            if (std::string(table.columns[i].type[0]).starts_with("CHAR"))
                v.erase(v.find_last_not_of(' ') + 1);
            if (table.columns[i].kind == Kind::Temporal && v.size() > 19 &&
                v.find_first_not_of(".0", 19) == std::string::npos)
                v.resize(19);
        }
    }
    return Sorted(std::move(rows));
}

Table TypesTable()
{
    Table t;
    t.name = "rt_types";
    t.primaryKey = "id";
    t.columns = {
        {"id", Kind::Number, {"INTEGER NOT NULL", "INTEGER NOT NULL", "INTEGER NOT NULL"}},
        {"big", Kind::Number, {"BIGINT", "BIGINT", "BIGINT"}},
        {"amount", Kind::Number, {"DECIMAL(12,3)", "NUMERIC(12,3)", "DECIMAL(12,3)"}},
        {"dbl", Kind::Number, {"DOUBLE", "DOUBLE PRECISION", "DOUBLE"}},
        {"ch", Kind::Text, {"CHAR(10)", "CHAR(10)", "CHAR(10)"}},
        {"vc", Kind::Text, {"VARCHAR(200)", "VARCHAR(200)", "VARCHAR(200)"}},
        {"lt", Kind::Text, {"TEXT", "TEXT", "LONGTEXT"}},
        {"ut", Kind::Text, {"NVARCHAR(100)", "VARCHAR(100)", "NVARCHAR(100)"}},
        {"dt", Kind::Temporal, {"DATE", "DATE", "DATE"}},
        {"tm", Kind::Temporal, {"TIME", "TIME", "TIME"}},
        {"ts", Kind::Temporal, {"TIMESTAMP", "TIMESTAMP", "DATETIME"}},
        {"bin", Kind::Binary, {"BLOB", "BYTEA", "LONGBLOB"}},
        {"vb", Kind::Binary, {"VARBINARY(300)", "BYTEA", "VARBINARY(300)"}},
        {"flag", Kind::Bool, {"BOOLEAN", "BOOLEAN", "BOOLEAN"}},
    };
    const Value date = V("2001-03-15"), time = V("10:20:30"), stamp = V("2001-03-15 10:20:30");
    auto row = [&](int id, Value vc, Value lt) {
        return Row{V(std::to_string(id)), V("1234567890123"), V("12.500"), V("0.5"), V("abc"), vc, lt, V("plain"),
                   date, time, stamp, V(Bytes(1, 4)), V(Bytes(250, 255)), V("1")};
    };
    const Row allNull = {V("2"), N, N, N, N, N, N, N, N, N, N, N, N, N};
    t.oldRows = {
        row(1, V("unchanged"), V("unchanged")),
        allNull,
        row(3, V("plain"), V("plain")),
        row(4, N, V("NULL")),
        row(5, V("x"), V("x")),
        row(6, V("one line"), V("one line")),
        row(7, V("ascii"), V("ascii")),
        row(8, V("short"), V("short")),
        row(9, V("numbers"), V("numbers")),
        row(10, V("deleted"), V("deleted")),
        row(11, V("deleted\r\nwith a line break, and \"quotes\""), V("gone")),
        row(12, V("key changes"), V("key changes")),
    };
    Row r3 = row(3, V("has \"double quotes\", and more"), V("\"starts with a quote"));
    Row r4 = row(4, V("NULL"), N);  // the text NULL and SQL NULL swap places
    r4[4] = V("NULL");
    Row r5 = row(5, V(""), V(""));
    r5[4] = V("");
    r5[11] = V("");
    r5[12] = N;
    Row r6 = row(6, V("a,b,,c [x] ]] [[y O'Neil's"), V("line1\r\nline2\nline3\r"));
    r6[7] = V("C:\\path\\ and \\' and \\\\");
    Row r7 = row(7, V("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"), V("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E, ok"));
    r7[7] = V("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xE6\x97\xA5\xE6\x9C\xAC");
    Row r8 = row(8, V("long row"), V(LongText()));
    r8[11] = V(Bytes(0, 255));
    r8[12] = V(Bytes(255, 0));
    Row r9 = row(9, V("numbers"), V("numbers"));
    r9[1] = V("9007199254740993");
    r9[2] = V("-12345.678");
    r9[3] = V("-1234.25");
    r9[8] = V("1999-12-31");
    r9[9] = V("23:59:58");
    r9[10] = V("1999-12-31 23:59:58");
    r9[13] = V("0");
    Row r13 = row(13, V("added"), V("NULL"));
    r13[4] = V("NULL");
    Row r14 = row(14, V("added, \"with\" [all] of it's"), V("multi\r\nline\r\n"));
    r14[11] = V(Bytes(0, 255));
    const Row r15 = {V("15"), N, N, N, N, N, N, N, N, N, N, N, N, N};
    Row r20 = row(20, V("key changes"), V("key changes"));
    t.newRows = {row(1, V("unchanged"), V("unchanged")), allNull, r3, r4, r5, r6, r7, r8, r9, r13, r14, r15, r20};
    t.adds = 4;     // 13, 14, 15, 20
    t.updates = 7;  // 3 to 9
    t.deletes = 3;  // 10, 11, 12
    return t;
}

Table PairTable()
{
    Table t;
    t.name = "rt_pair";
    t.primaryKey = "k1, k2";
    t.columns = {
        {"k1", Kind::Number, {"INTEGER NOT NULL", "INTEGER NOT NULL", "INTEGER NOT NULL"}},
        {"k2", Kind::Text, {"VARCHAR(20) NOT NULL", "VARCHAR(20) NOT NULL", "VARCHAR(20) NOT NULL"}},
        {"note", Kind::Text, {"VARCHAR(100)", "VARCHAR(100)", "VARCHAR(100)"}},
        {"qty", Kind::Number, {"INTEGER", "INTEGER", "INTEGER"}},
    };
    t.oldRows = {{V("1"), V("a"), V("n1"), V("1")},
                 {V("1"), V("b"), V("n2"), V("2")},
                 {V("2"), V("a"), V("n3"), V("3")},
                 {V("3"), V("x,y"), V("n4"), V("4")}};
    t.newRows = {{V("1"), V("a"), V("n1 changed"), V("1")},
                 {V("1"), V("b"), V("n2"), V("2")},
                 {V("2"), V("b"), V("n3"), V("3")},
                 {V("3"), V("x,y"), V("n4"), V("40")},
                 {V("4"), V("z"), N, N}};
    t.adds = 2;     // (2,b) and (4,z)
    t.updates = 2;  // (1,a) and (3,x,y)
    t.deletes = 1;  // (2,a)
    return t;
}

Table NoKeyTable()
{
    Table t;
    t.name = "rt_nokey";
    t.primaryKey = "";
    t.columns = {
        {"a", Kind::Number, {"INTEGER", "INTEGER", "INTEGER"}},
        {"b", Kind::Text, {"VARCHAR(50) NOT NULL", "VARCHAR(50) NOT NULL", "VARCHAR(50) NOT NULL"}},
    };
    t.oldRows = {{V("1"), V("one")}, {V("2"), V("two")}, {N, V("three")}};
    t.newRows = {{V("1"), V("one")}, {V("2"), V("TWO")}, {N, V("three")}, {V("4"), V("four")}};
    t.adds = 2;     // (2,TWO) and (4,four)
    t.updates = 0;  // no key: a changed row is a delete and an add
    t.deletes = 1;  // (2,two), found by all its columns
    return t;
}

Table LastBinaryTable()
{
    Table t;
    t.name = "rt_lastbin";
    t.primaryKey = "id";
    t.columns = {
        {"id", Kind::Number, {"INTEGER NOT NULL", "INTEGER NOT NULL", "INTEGER NOT NULL"}},
        {"data", Kind::Binary, {"BLOB", "BYTEA", "LONGBLOB"}},
    };
    t.oldRows = {{V("1"), V("\x01")}, {V("2"), V("")}, {V("3"), N}};
    t.newRows = {{V("1"), V("")}, {V("2"), V("\x02")}, {V("3"), V("")}, {V("4"), V("")}};
    t.adds = 1;     // 4
    t.updates = 3;  // 1 to 3
    t.deletes = 0;
    return t;
}

Table QuotesTable()
{
    Table t;
    t.name = "rt_quotes";
    t.primaryKey = "k";
    t.columns = {
        {"k", Kind::Text, {"VARCHAR(40) NOT NULL", "VARCHAR(40) NOT NULL", "VARCHAR(40) NOT NULL"}},
        {"v", Kind::Text, {"VARCHAR(40)", "VARCHAR(40)", "VARCHAR(40)"}},
        // SQLite keeps text that is no number as text in an INTEGER column.
        {"n", Kind::Text, {"INTEGER", "VARCHAR(40)", "VARCHAR(40)"}},
    };
    const std::vector<std::string> awkward = {"a''b", "'\"hi\"'", "\"\"", "''''", "\"", "''",
                                              "x\",y", "say \"hi\"\r\nbye", "NULL", ""};
    for (std::size_t i = 0; i < awkward.size(); ++i) {
        const std::string& value = awkward[i];
        // Changed rows: the awkward value is the new one.
        t.oldRows.push_back({V("u" + std::to_string(i)), V("old"), V("1")});
        t.newRows.push_back({V("u" + std::to_string(i)), V(value), V(value)});
        // Added and deleted rows: the awkward value is also the key.
        t.newRows.push_back({V(value), V(value), V(value)});
        t.oldRows.push_back({V("d" + value), V(value), V(value)});
    }
    t.adds = static_cast<int>(awkward.size());
    t.updates = static_cast<int>(awkward.size());
    t.deletes = static_cast<int>(awkward.size());
    return t;
}

Table FloatTable()
{
    Table t;
    t.name = "rt_float";
    t.primaryKey = "id";
    t.columns = {
        {"id", Kind::Number, {"INTEGER NOT NULL", "INTEGER NOT NULL", "INTEGER NOT NULL"}},
        {"d", Kind::Number, {"DOUBLE", "DOUBLE PRECISION", "DOUBLE"}},
        {"r", Kind::Number, {"REAL", "REAL", "FLOAT"}},
    };
    t.oldRows = {{V("1"), V("0.3"), V("0.5")}, {V("2"), V("1"), V("1")}, {V("3"), V("2"), V("2")}};
    t.newRows = {{V("1"), V("0.30000000000000004"), V("0.5")},
                 {V("2"), V("1.7976931348623157e308"), V("3.4e38")},
                 {V("4"), V("2.2250738585072014e-308"), V("1e-7")},
                 {V("5"), V("4.9406564584124654e-324"), V("-2.5")},
                 {V("6"), V("1e-7"), N},
                 {V("7"), V("1e22"), V("95125")}};
    t.adds = 4;     // 4 to 7
    t.updates = 2;  // 1 (the 17th digit) and 2
    t.deletes = 1;  // 3
    return t;
}

Table BracketNameTable(const char* name)
{
    Table t;
    t.name = name;
    t.primaryKey = "id";
    t.columns = {
        {"id", Kind::Number, {"INTEGER NOT NULL", "INTEGER NOT NULL", "INTEGER NOT NULL"}},
        {"v", Kind::Text, {"VARCHAR(20)", "VARCHAR(20)", "VARCHAR(20)"}},
    };
    t.oldRows = {{V("1"), V("one")}, {V("2"), V("two")}};
    t.newRows = {{V("1"), V("ONE")}, {V("3"), V("three")}};
    t.adds = 1;
    t.updates = 1;
    t.deletes = 1;
    return t;
}

Table LateKeyTable()
{
    Table t;
    t.name = "rt_latekey";
    t.primaryKey = "id";
    t.columns = {
        {"name", Kind::Text, {"VARCHAR(20) NOT NULL", "VARCHAR(20) NOT NULL", "VARCHAR(20) NOT NULL"}},
        {"id", Kind::Number, {"INTEGER NOT NULL", "INTEGER NOT NULL", "INTEGER NOT NULL"}},
        {"email", Kind::Text, {"VARCHAR(40)", "VARCHAR(40)", "VARCHAR(40)"}},
    };
    t.oldRows = {{V("Ann"), V("1"), N}, {V("Bob"), V("2"), V("b@x")}, {V("Cy"), V("3"), V("c@x")}};
    t.newRows = {{V("Anna"), V("1"), N}, {V("Bob"), V("2"), V("bob@x")}, {V("Dee"), V("4"), N}};
    t.adds = 1;     // 4
    t.updates = 2;  // 1 renamed, 2 with another email
    t.deletes = 1;  // 3
    return t;
}

Table SplitKeyTable()
{
    Table t;
    t.name = "rt_splitkey";
    t.primaryKey = "k2, k1";
    t.columns = {
        {"a", Kind::Number, {"INTEGER", "INTEGER", "INTEGER"}},
        {"k1", Kind::Number, {"INTEGER NOT NULL", "INTEGER NOT NULL", "INTEGER NOT NULL"}},
        {"b", Kind::Text, {"VARCHAR(20) NOT NULL", "VARCHAR(20) NOT NULL", "VARCHAR(20) NOT NULL"}},
        {"k2", Kind::Text, {"VARCHAR(20) NOT NULL", "VARCHAR(20) NOT NULL", "VARCHAR(20) NOT NULL"}},
        {"c", Kind::Text, {"VARCHAR(20)", "VARCHAR(20)", "VARCHAR(20)"}},
    };
    t.oldRows = {{V("1"), V("1"), V("b1"), V("x"), N}, {V("2"), V("1"), V("b2"), V("y"), V("c2")},
                 {V("3"), V("2"), V("b3"), V("x"), V("c3")}};
    t.newRows = {{V("10"), V("1"), V("B1"), V("x"), V("new")}, {V("2"), V("1"), V("b2"), V("y"), V("c2")},
                 {N, V("2"), V("b4"), V("y"), N}};
    t.adds = 1;     // (2,y)
    t.updates = 1;  // (1,x): every other column changed
    t.deletes = 1;  // (2,x)
    return t;
}

Table UniqueKeyTable()
{
    Table t;
    t.name = "rt_unique";
    t.primaryKey = "";
    t.uniqueKey = "code";
    t.columns = {
        {"note", Kind::Text, {"VARCHAR(20)", "VARCHAR(20)", "VARCHAR(20)"}},
        {"code", Kind::Text, {"VARCHAR(10) NOT NULL", "VARCHAR(10) NOT NULL", "VARCHAR(10) NOT NULL"}},
        {"v", Kind::Number, {"INTEGER", "INTEGER", "INTEGER"}},
    };
    t.oldRows = {{N, V("a"), V("1")}, {V("n"), V("b"), V("2")}, {V("m"), V("c"), N}};
    t.newRows = {{V("now noted"), V("a"), V("1")}, {V("n"), V("b"), V("20")}, {N, V("d"), V("4")}};
    t.adds = 1;     // d
    t.updates = 2;  // a and b
    t.deletes = 1;  // c
    return t;
}

Table DuplicatesTable()
{
    Table t;
    t.name = "rt_dups";
    t.primaryKey = "";
    t.columns = {
        {"a", Kind::Number, {"INTEGER", "INTEGER", "INTEGER"}},
        {"b", Kind::Text, {"VARCHAR(10)", "VARCHAR(10)", "VARCHAR(10)"}},
    };
    t.oldRows = {{V("1"), V("x")}, {V("1"), V("x")}, {V("2"), V("y")}, {N, V("z")}, {N, V("z")}};
    t.newRows = {{V("1"), V("x")}, {V("2"), V("y")}, {V("2"), V("y")}, {N, V("z")}, {N, V("z")}, {V("3"), N}};
    t.adds = 2;     // one (2,y) more, (3,NULL)
    t.updates = 0;  // no key
    t.deletes = 1;  // one of the two (1,x)
    return t;
}

} // namespace roundtrip
