#include "datasource/TableCatalog.h"

#include <sqlext.h>

#include <algorithm>
#include <optional>

#include "common/AsciiNoCase.h"
#include "datasource/CDatabase.h"
#include "datasource/CatalogResult.h"
#include "datasource/DatabaseError.h"
#include "datasource/TableLocation.h"

namespace {

// Column numbers of the catalog results (ODBC 3 names; ODBC 2 drivers name
// them differently but keep the order).
namespace col {
constexpr SQLUSMALLINT kTableSchema = 2, kTableName = 3;
// SQLColumns
constexpr SQLUSMALLINT kColumnName = 4, kNullable = 11, kColumnDefault = 13, kOrdinal = 17;
// SQLPrimaryKeys
constexpr SQLUSMALLINT kKeyColumn = 4, kKeySequence = 5, kKeyName = 6;
// SQLStatistics
constexpr SQLUSMALLINT kNonUnique = 4, kIndexQualifier = 5, kIndexName = 6, kIndexType = 7, kIndexColumn = 9,
                       kFilter = 13;
// SQLForeignKeys
constexpr SQLUSMALLINT kParentCatalog = 1, kParentSchema = 2, kParentTable = 3, kParentColumn = 4,
                       kChildColumn = 8, kForeignSequence = 9, kForeignName = 12;
} // namespace col

// The catalog, schema and table arguments that name `table` where `location` says.
struct TableArguments {
    TableArguments(const TableLocation& location, const std::string& table)
        : catalog(CatalogArgument::Of(location.catalog)), schema(CatalogArgument::Of(location.schema)),
          name(CatalogArgument::Of(table))
    {
    }
    CatalogArgument catalog, schema, name;
};

struct CatalogColumn {
    std::string name;
    std::int16_t nullable = SQL_NULLABLE_UNKNOWN;
    std::optional<std::string> defaultValue;
    std::int32_t ordinal = 0;
};

// SQLColumns of `table` where `location` says. Its table and schema arguments
// are patterns ("_" is any character): rows of other tables are left out.
// Raises the call's DatabaseError when `raise`, else gives no columns.
std::vector<CatalogColumn> ReadCatalogColumns(CDatabase& database, const TableLocation& location,
                                              const std::string& table, bool raise)
{
    CatalogResult result(database, [&](SQLHSTMT h) {
        const TableArguments a(location, table);
        return SQLColumns(h, a.catalog.text, a.catalog.length, a.schema.text, a.schema.length, a.name.text,
                          a.name.length, nullptr, 0);
    });
    if (!result.Ok() && raise)
        result.Raise();
    std::vector<CatalogColumn> columns;
    while (result.Next()) {
        if (result.Text(col::kTableName) != table || !location.Holds(std::nullopt, result.Text(col::kTableSchema)))
            continue;
        CatalogColumn column;
        column.name = result.Text(col::kColumnName).value_or("");
        column.nullable = static_cast<std::int16_t>(result.Number(col::kNullable).value_or(SQL_NULLABLE_UNKNOWN));
        column.defaultValue = result.Text(col::kColumnDefault);
        column.ordinal = result.Number(col::kOrdinal).value_or(static_cast<std::int32_t>(columns.size()) + 1);
        columns.push_back(std::move(column));
    }
    std::stable_sort(columns.begin(), columns.end(),
                     [](const CatalogColumn& a, const CatalogColumn& b) { return a.ordinal < b.ordinal; });
    return columns;
}

// The primary key's columns in key sequence order (as far as the driver keeps
// it: the SQLite3 and MariaDB drivers number them in table order). The SQLite3
// driver stands in the first UNIQUE constraint for a missing primary key, even
// one on nullable columns; only that one names an index (PK_NAME), and it is
// left to the unique index rule.
std::vector<std::string> PrimaryKeyColumns(CDatabase& database, DbmsKind dbms, const TableLocation& location,
                                           const std::string& table)
{
    CatalogResult result(database, [&](SQLHSTMT h) {
        const TableArguments a(location, table);
        return SQLPrimaryKeys(h, a.catalog.text, a.catalog.length, a.schema.text, a.schema.length, a.name.text,
                              a.name.length);
    });
    std::vector<std::pair<std::int32_t, std::string>> keys;
    while (result.Next()) {
        const std::optional<std::string> name = result.Text(col::kKeyColumn);
        const std::optional<std::string> keyName = result.Text(col::kKeyName);
        if (dbms == DbmsKind::Sqlite && keyName && !keyName->empty())
            return {};
        if (name)
            keys.emplace_back(result.Number(col::kKeySequence).value_or(0), *name);
    }
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (auto& key : keys)
        names.push_back(std::move(key.second));
    return names;
}

// The names of the partial indexes of `table` (CREATE INDEX ... WHERE), which
// the SQLite3 driver and psqlODBC list as if they held every row.
std::vector<std::string> PartialIndexNames(CDatabase& database, DbmsKind dbms, const TableLocation& location,
                                           const std::string& table)
{
    std::vector<std::string> names;
    if (dbms != DbmsKind::Sqlite && (dbms != DbmsKind::PostgreSql || !location.schema))
        return names;
    CatalogResult result =
        dbms == DbmsKind::Sqlite
            ? RunCatalogQuery(database, "SELECT name FROM pragma_index_list(?) WHERE partial", {table})
            : RunCatalogQuery(database,
                              "SELECT i.relname FROM pg_catalog.pg_index x "
                              "JOIN pg_catalog.pg_class i ON i.oid = x.indexrelid "
                              "JOIN pg_catalog.pg_class t ON t.oid = x.indrelid "
                              "JOIN pg_catalog.pg_namespace n ON n.oid = t.relnamespace "
                              "WHERE t.relname = ? AND n.nspname = ? AND x.indpred IS NOT NULL",
                              {table, *location.schema});
    while (result.Next())
        if (std::optional<std::string> name = result.Text(1))
            names.push_back(std::move(*name));
    return names;
}

// The unique indexes of `table` in the order the driver lists them, each as
// its column names. An index over an expression or with a filter (it holds
// only some rows) is left out: it cannot tell every row from the others.
std::vector<std::vector<std::string>> UniqueIndexes(CDatabase& database, DbmsKind dbms, const TableLocation& location,
                                                    const std::string& table)
{
    CatalogResult result(database, [&](SQLHSTMT h) {
        const TableArguments a(location, table);
        return SQLStatistics(h, a.catalog.text, a.catalog.length, a.schema.text, a.schema.length, a.name.text,
                             a.name.length, SQL_INDEX_UNIQUE, SQL_QUICK);
    });
    struct Index {
        std::optional<std::string> qualifier, name;
        std::vector<std::string> columns;
        bool usable = true;
    };
    std::vector<Index> indexes;
    while (result.Next()) {
        if (result.Number(col::kIndexType).value_or(SQL_TABLE_STAT) == SQL_TABLE_STAT ||
            result.Number(col::kNonUnique).value_or(SQL_TRUE) != SQL_FALSE)
            continue;
        const std::optional<std::string> qualifier = result.Text(col::kIndexQualifier);
        const std::optional<std::string> name = result.Text(col::kIndexName);
        auto index = std::find_if(indexes.begin(), indexes.end(),
                                  [&](const Index& i) { return i.qualifier == qualifier && i.name == name; });
        if (index == indexes.end())
            index = indexes.insert(indexes.end(), Index{qualifier, name, {}, true});
        const std::optional<std::string> column = result.Text(col::kIndexColumn);
        const std::optional<std::string> filter = result.Text(col::kFilter);
        if (!column || (filter && !filter->empty()))
            index->usable = false;
        else
            index->columns.push_back(*column);
    }
    if (indexes.empty())
        return {};
    for (const std::string& partial : PartialIndexNames(database, dbms, location, table))
        for (Index& index : indexes)
            if (index.name == partial)
                index.usable = false;
    std::vector<std::vector<std::string>> usable;
    for (Index& index : indexes)
        if (index.usable && !index.columns.empty())
            usable.push_back(std::move(index.columns));
    return usable;
}

// The result column indexes of `names`, ascending; nullopt when one of them is
// not a result column (a key on columns the dump does not hold cannot be used).
std::optional<std::vector<std::int32_t>> ResultIndexes(const std::vector<ColumnInfo>& columns,
                                                      const std::vector<std::string>& names)
{
    std::vector<std::int32_t> indexes;
    for (const std::string& name : names) {
        const auto found = std::find_if(columns.begin(), columns.end(),
                                        [&](const ColumnInfo& column) { return column.name == name; });
        if (found == columns.end())
            return std::nullopt;
        indexes.push_back(static_cast<std::int32_t>(found - columns.begin()));
    }
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    return indexes;
}

// Whether a result column can hold no NULL: described so, declared so in the
// catalog (the SQLite3 driver describes NOT NULL columns of a query as
// nullable), or in the primary key. The catalog is asked only when a
// description leaves it open.
class NotNullColumns {
public:
    NotNullColumns(CDatabase& database, const TableLocation* location, const std::string& table,
                   const std::vector<ColumnInfo>& columns, const std::vector<std::string>& primaryKey)
        : m_database(database), m_location(location), m_table(table), m_columns(columns), m_primaryKey(primaryKey)
    {
    }

    bool operator()(std::size_t index)
    {
        const ColumnInfo& column = m_columns[index];
        if (column.nullability == SQL_NO_NULLS ||
            std::find(m_primaryKey.begin(), m_primaryKey.end(), column.name) != m_primaryKey.end())
            return true;
        if (!m_location)
            return false;
        if (!m_catalog)
            m_catalog = ReadCatalogColumns(m_database, *m_location, m_table, false);
        const auto declared = std::find_if(m_catalog->begin(), m_catalog->end(),
                                           [&](const CatalogColumn& c) { return c.name == column.name; });
        return declared != m_catalog->end() && declared->nullable == SQL_NO_NULLS;
    }

private:
    CDatabase& m_database;
    const TableLocation* m_location;  // null: the description alone decides
    const std::string& m_table;
    const std::vector<ColumnInfo>& m_columns;
    const std::vector<std::string>& m_primaryKey;
    std::optional<std::vector<CatalogColumn>> m_catalog;
};

TableKey LeadingNotNullKey(NotNullColumns& notNull, std::size_t count)
{
    TableKey key;
    for (std::size_t i = 0; i < count && notNull(i); ++i)
        key.columns.push_back(static_cast<std::int32_t>(i));
    key.source = key.columns.empty() ? KeySource::None : KeySource::LeadingNotNull;
    return key;
}

// The entry of `tables` that a catalog's table name means: the one spelled
// alike, else the only one alike but for ASCII case.
std::optional<std::size_t> MatchTableName(const std::vector<std::string>& tables, const std::string& name)
{
    const auto exact = std::find(tables.begin(), tables.end(), name);
    if (exact != tables.end())
        return static_cast<std::size_t>(exact - tables.begin());
    std::optional<std::size_t> match;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        if (!EqualsNoCase(tables[i], name))
            continue;
        if (match)
            return std::nullopt;
        match = i;
    }
    return match;
}

// One foreign key as the catalog lists it, before its parent is matched.
struct ListedForeignKey {
    std::optional<std::string> name;
    std::optional<std::string> parentCatalog, parentSchema;
    std::string parentTable;
    struct Pair {
        std::int32_t sequence;
        std::optional<std::string> child, parent;
    };
    std::vector<Pair> pairs;
};

// The foreign keys of `child` (SQLForeignKeys with the child given), their
// column pairs in key sequence order. Rows are ordered by parent table and
// sequence, so two keys to one parent interleave: they are told apart by
// name, or, where the catalog names none (SQLite), by the sequence starting
// again.
std::vector<ListedForeignKey> ListForeignKeys(CDatabase& database, const TableLocation& location,
                                              const std::string& child)
{
    CatalogResult result(database, [&](SQLHSTMT h) {
        const TableArguments a(location, child);
        return SQLForeignKeys(h, nullptr, 0, nullptr, 0, nullptr, 0, a.catalog.text, a.catalog.length,
                              a.schema.text, a.schema.length, a.name.text, a.name.length);
    });
    std::vector<ListedForeignKey> keys;
    while (result.Next()) {
        ListedForeignKey row;
        row.parentCatalog = result.Text(col::kParentCatalog);
        row.parentSchema = result.Text(col::kParentSchema);
        row.parentTable = result.Text(col::kParentTable).value_or("");
        const std::optional<std::string> parentColumn = result.Text(col::kParentColumn);
        const std::optional<std::string> childColumn = result.Text(col::kChildColumn);
        const std::int32_t sequence = result.Number(col::kForeignSequence).value_or(0);
        row.name = result.Text(col::kForeignName);
        if (row.name && row.name->empty())
            row.name.reset();

        const auto sameParent = [&](const ListedForeignKey& key) {
            return key.parentCatalog == row.parentCatalog && key.parentSchema == row.parentSchema &&
                   key.parentTable == row.parentTable;
        };
        ListedForeignKey* key = nullptr;
        if (row.name) {
            for (ListedForeignKey& k : keys)
                if (k.name == row.name && sameParent(k))
                    key = &k;
        } else if (!keys.empty() && !keys.back().name && sameParent(keys.back()) &&
                   keys.back().pairs.back().sequence < sequence) {
            key = &keys.back();
        }
        if (!key)
            key = &keys.emplace_back(std::move(row));
        key->pairs.push_back({sequence, childColumn, parentColumn});
    }
    for (ListedForeignKey& key : keys)
        std::stable_sort(key.pairs.begin(), key.pairs.end(),
                         [](const auto& a, const auto& b) { return a.sequence < b.sequence; });
    return keys;
}

// The columns a foreign key refers to when its clause names none: the
// parent's primary key in its declared order. SQLite lists those columns as
// NULL and numbers its primary keys in table order, so there the table's own
// description is asked.
std::vector<std::string> ReferencedKey(CDatabase& database, DbmsKind dbms, const TableLocation& location,
                                       const std::string& parent)
{
    if (dbms != DbmsKind::Sqlite)
        return PrimaryKeyColumns(database, dbms, location, parent);
    CatalogResult result =
        RunCatalogQuery(database, "SELECT name FROM pragma_table_info(?) WHERE pk > 0 ORDER BY pk", {parent});
    std::vector<std::string> columns;
    while (result.Next())
        columns.push_back(result.Text(1).value_or(""));
    return columns;
}

bool DeclaresDefault(const std::optional<std::string>& columnDefault)
{
    // MariaDB writes a nullable column's missing default as the word NULL.
    return columnDefault && !columnDefault->empty() && !EqualsNoCase(*columnDefault, "NULL");
}

DatabaseError TableNotFound(const std::string& table)
{
    return DatabaseError(SQL_ERROR, "The table " + table + " is not in the data source.\n", {"42S02", 0, ""});
}

// Runs `query` (a select of no rows) and hands each result column's number to `column`.
template <typename Column>
bool ForEachResultColumn(CDatabase& database, const std::string& query, Column column, bool raise)
{
    CatalogResult result(database, [&](SQLHSTMT h) {
        return SQLExecDirect(h, reinterpret_cast<SQLCHAR*>(const_cast<char*>(query.c_str())), SQL_NTS);
    });
    if (!result.Ok()) {
        if (raise)
            result.Raise();
        return false;
    }
    SQLSMALLINT count = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(result.Handle(), &count)))
        return false;
    for (SQLSMALLINT n = 1; n <= count; ++n)
        column(result.Handle(), n);
    return true;
}

std::string ColumnAttributeText(SQLHSTMT statement, SQLSMALLINT column, SQLUSMALLINT field)
{
    char text[512] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLColAttribute(statement, static_cast<SQLUSMALLINT>(column), field, text, sizeof text,
                                       &length, nullptr)))
        return {};
    return text;
}

// The names of the columns the DBMS numbers itself: identity, serial and
// auto-increment columns, and SQLite's rowid alias (an INTEGER PRIMARY KEY),
// which its driver reports as nothing special: a select of the rowid names it
// as its origin. A table without rowid rejects that select.
std::vector<std::string> AutoNumberedColumns(CDatabase& database, DbmsKind dbms, const std::string& table)
{
    const std::string from = " from " + database.Facts().Names().Quoted(table) + " where 1=0";
    std::vector<std::string> names;
    ForEachResultColumn(
        database, "Select *" + from,
        [&](SQLHSTMT statement, SQLSMALLINT column) {
            SQLLEN automatic = SQL_FALSE;
            if (SQL_SUCCEEDED(SQLColAttribute(statement, static_cast<SQLUSMALLINT>(column),
                                              SQL_DESC_AUTO_UNIQUE_VALUE, nullptr, 0, nullptr, &automatic)) &&
                automatic == SQL_TRUE)
                names.push_back(ColumnAttributeText(statement, column, SQL_DESC_NAME));
        },
        true);
    if (dbms == DbmsKind::Sqlite)
        ForEachResultColumn(
            database, "Select rowid" + from,
            [&](SQLHSTMT statement, SQLSMALLINT column) {
                const std::string origin = ColumnAttributeText(statement, column, SQL_DESC_BASE_COLUMN_NAME);
                if (!origin.empty() && !EqualsNoCase(origin, "rowid"))
                    names.push_back(origin);
            },
            false);
    return names;
}

} // namespace

TableKey FindTableKey(CDatabase& database, const std::string& table, const std::vector<ColumnInfo>& columns)
{
    const std::vector<std::string> none;
    // Without a table (a recordset over any query) the description alone decides.
    if (table.empty() || !database.IsOpen()) {
        NotNullColumns described(database, nullptr, table, columns, none);
        return LeadingNotNullKey(described, columns.size());
    }
    const DbmsKind dbms = ConnectedDbms(database);
    RefreshSchema(database, dbms);
    const TableLocation location = LocateTable(database, dbms, table);
    if (!location.found) {
        NotNullColumns described(database, nullptr, table, columns, none);
        return LeadingNotNullKey(described, columns.size());
    }

    const std::vector<std::string> primaryKey = PrimaryKeyColumns(database, dbms, location, table);
    if (!primaryKey.empty()) {
        std::optional<std::vector<std::int32_t>> key = ResultIndexes(columns, primaryKey);
        if (key)
            return {KeySource::PrimaryKey, std::move(*key)};
    }

    NotNullColumns notNull(database, &location, table, columns, primaryKey);
    for (const std::vector<std::string>& index : UniqueIndexes(database, dbms, location, table)) {
        std::optional<std::vector<std::int32_t>> key = ResultIndexes(columns, index);
        if (key && std::all_of(key->begin(), key->end(),
                               [&](std::int32_t i) { return notNull(static_cast<std::size_t>(i)); }))
            return {KeySource::UniqueIndex, std::move(*key)};
    }
    return LeadingNotNullKey(notNull, columns.size());
}

std::vector<ForeignKey> ForeignKeysAmong(CDatabase& database, const std::vector<std::string>& tables)
{
    std::vector<ForeignKey> found;
    if (!database.IsOpen())
        return found;
    const DbmsKind dbms = ConnectedDbms(database);
    RefreshSchema(database, dbms);
    std::vector<std::optional<TableLocation>> locations(tables.size());
    const auto locate = [&](std::size_t i) -> const TableLocation& {
        if (!locations[i])
            locations[i] = LocateTable(database, dbms, tables[i]);
        return *locations[i];
    };

    for (std::size_t child = 0; child < tables.size(); ++child) {
        // A name given twice is one table.
        if (std::find(tables.begin(), tables.begin() + static_cast<std::ptrdiff_t>(child), tables[child]) !=
                tables.begin() + static_cast<std::ptrdiff_t>(child) ||
            !locate(child).found)
            continue;
        for (ListedForeignKey& listed : ListForeignKeys(database, locate(child), tables[child])) {
            const std::optional<std::size_t> parent = MatchTableName(tables, listed.parentTable);
            // A same-named table elsewhere (another schema or database) is not the one given.
            if (!parent || !locate(*parent).found || !locate(*parent).Holds(listed.parentCatalog, listed.parentSchema))
                continue;
            ForeignKey key;
            key.name = listed.name.value_or("");
            key.childTable = tables[child];
            key.parentTable = tables[*parent];
            for (const ListedForeignKey::Pair& pair : listed.pairs) {
                key.childColumns.push_back(pair.child.value_or(""));
                key.parentColumns.push_back(pair.parent.value_or(""));
            }
            const bool parentNamed = std::all_of(listed.pairs.begin(), listed.pairs.end(),
                                                 [](const ListedForeignKey::Pair& p) { return p.parent.has_value(); });
            if (!parentNamed)
                key.parentColumns = ReferencedKey(database, dbms, locate(*parent), key.parentTable);
            const auto unnamed = [](const std::string& name) { return name.empty(); };
            if (key.parentColumns.size() != key.childColumns.size() ||
                std::any_of(key.childColumns.begin(), key.childColumns.end(), unnamed) ||
                std::any_of(key.parentColumns.begin(), key.parentColumns.end(), unnamed))
                continue;
            found.push_back(std::move(key));
        }
    }
    return found;
}

std::vector<TargetColumn> DescribeTargetColumns(CDatabase& database, const std::string& table)
{
    const DbmsKind dbms = ConnectedDbms(database);
    RefreshSchema(database, dbms);
    const TableLocation location = LocateTable(database, dbms, table);
    if (!location.found)
        throw TableNotFound(table);
    const std::vector<CatalogColumn> declared = ReadCatalogColumns(database, location, table, true);
    if (declared.empty())
        throw TableNotFound(table);

    std::vector<TargetColumn> columns;
    for (const CatalogColumn& column : declared)
        columns.push_back({column.name, column.nullable != SQL_NO_NULLS, DeclaresDefault(column.defaultValue)});
    for (const std::string& name : AutoNumberedColumns(database, dbms, table))
        for (TargetColumn& column : columns)
            if (column.name == name)
                column.hasDefault = true;
    return columns;
}
