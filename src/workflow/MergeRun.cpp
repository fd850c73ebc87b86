#include "workflow/MergeRun.h"

#include <algorithm>

#include "common/AsciiNoCase.h"
#include "common/ResourceStrings.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"
#include "datasource/DatabaseError.h"
#include "datasource/IdentifierQuoting.h"
#include "datasource/TableCatalog.h"
#include "merge/ChangeSet.h"
#include "merge/ColumnPlacement.h"
#include "merge/StatementOrder.h"
#include "merge/TableStatements.h"
#include "workflow/ErrorText.h"

namespace {

constexpr int kCycleNote = 3058;
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// A table of the merge as the target sees it: where its values go and which
// of its own foreign keys order its rows.
struct PlannedTable {
    std::size_t index = 0;  // into the change set
    ColumnPlacement placement;
    std::vector<SelfReference> selfReferences;
    TableStatementSet statements;
};

std::size_t ColumnPosition(const CColumnInfoArray& columns, const std::string& name)
{
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == name)
            return i;
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (EqualsNoCase(columns[i].name, name))
            return i;
    return kNone;
}

// The self reference of a foreign key by the positions of its columns among
// the table's values; false when a column is not among them.
bool SelfReferenceOf(const ForeignKey& key, const CColumnInfoArray& columns, SelfReference& reference)
{
    for (std::size_t k = 0; k < key.childColumns.size() && k < key.parentColumns.size(); ++k) {
        const std::size_t child = ColumnPosition(columns, key.childColumns[k]);
        const std::size_t parent = ColumnPosition(columns, key.parentColumns[k]);
        if (child == kNone || parent == kNone)
            return false;
        reference.childColumns.push_back(child);
        reference.parentColumns.push_back(parent);
    }
    return !reference.childColumns.empty();
}

// The statement that lets foreign keys wait for the commit, where the DBMS has one.
std::string DeferForeignKeys(const SqlLiteralFacts& facts)
{
    switch (facts.dbms) {
    case DbmsKind::Sqlite:
        return "PRAGMA defer_foreign_keys = ON";
    case DbmsKind::PostgreSql:
        // Only constraints declared DEFERRABLE wait; the others are checked as before.
        return "SET CONSTRAINTS ALL DEFERRED";
    case DbmsKind::MySql:
    case DbmsKind::Other:
        break;
    }
    return {};
}

void Append(std::vector<GeneratedStatement>& to, std::vector<GeneratedStatement>&& from)
{
    to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

// Puts the tables' statements in the order they must run.
class Planner {
public:
    Planner(const TableChangesArray& tables, std::vector<PlannedTable>& planned, const SqlLiteralFacts& facts)
        : m_tables(tables), m_planned(planned), m_facts(facts)
    {
    }

    std::vector<GeneratedStatement> Plan(const std::vector<ForeignKey>& keys)
    {
        std::vector<Dependency> edges;
        for (const ForeignKey& key : keys) {
            const std::size_t parent = Position(key.parentTable);
            const std::size_t child = Position(key.childTable);
            if (parent == kNone || child == kNone)
                continue;
            if (parent == child) {
                SelfReference reference;
                if (SelfReferenceOf(key, m_planned[child].placement.columns, reference))
                    m_planned[child].selfReferences.push_back(std::move(reference));
            } else {
                edges.emplace_back(parent, child);
            }
        }
        std::vector<std::string> cycleTables;
        for (PlannedTable& table : m_planned)
            MakeStatements(table, cycleTables);

        std::vector<GeneratedStatement> statements;
        if (keys.empty()) {
            // Nothing ties the tables: table by table, in the order given.
            for (PlannedTable& table : m_planned) {
                Append(statements, std::move(table.statements.inserts));
                Append(statements, std::move(table.statements.updates));
                Append(statements, std::move(table.statements.deletes));
            }
            return statements;
        }
        const DependencyOrder parentsFirst = OrderByDependencies(m_planned.size(), edges);
        const DependencyOrder childrenFirst = OrderChildrenFirst(m_planned.size(), edges);
        for (const std::vector<std::size_t>& cycle : parentsFirst.cycles)
            for (const std::size_t position : cycle)
                cycleTables.push_back(m_tables[m_planned[position].index].name);
        if (!cycleTables.empty())
            AddCycleNote(statements, cycleTables);
        for (const std::size_t position : parentsFirst.order) {
            Append(statements, std::move(m_planned[position].statements.inserts));
            Append(statements, std::move(m_planned[position].statements.updates));
        }
        for (const std::size_t position : childrenFirst.order)
            Append(statements, std::move(m_planned[position].statements.deletes));
        return statements;
    }

private:
    // The position among the planned tables of a table the catalog names.
    std::size_t Position(const std::string& name) const
    {
        for (std::size_t p = 0; p < m_planned.size(); ++p)
            if (m_tables[m_planned[p].index].name == name)
                return p;
        return kNone;
    }

    // The table's statements, its rows put parents first for inserts and
    // children first for deletes where the table refers to itself.
    void MakeStatements(PlannedTable& table, std::vector<std::string>& cycleTables)
    {
        const TableChanges& changes = m_tables[table.index];
        RowOrders orders;
        if (!table.selfReferences.empty()) {
            const DependencyOrder adds =
                OrderByDependencies(changes.adds.size(), RowDependencies(changes.adds, table.selfReferences));
            const DependencyOrder deletes =
                OrderChildrenFirst(changes.deletes.size(), RowDependencies(changes.deletes, table.selfReferences));
            orders.adds = adds.order;
            orders.deletes = deletes.order;
            if (!adds.cycles.empty() || !deletes.cycles.empty())
                cycleTables.push_back(changes.name);
        }
        table.statements = MakeTableStatements(table.placement.columns, m_facts, changes, orders);
    }

    void AddCycleNote(std::vector<GeneratedStatement>& statements, const std::vector<std::string>& tables)
    {
        std::string names;
        for (const std::string& name : tables)
            names += (names.empty() ? "" : ", ") + name;
        GeneratedStatement note;
        note.kind = StatementKind::Note;
        note.text = FormatString(LoadResourceString(kCycleNote).c_str(), names.c_str());
        statements.push_back(std::move(note));
        const std::string defer = DeferForeignKeys(m_facts);
        if (!defer.empty()) {
            GeneratedStatement setting;
            setting.kind = StatementKind::Setting;
            setting.text = defer;
            statements.push_back(std::move(setting));
        }
    }

    const TableChangesArray& m_tables;
    std::vector<PlannedTable>& m_planned;
    const SqlLiteralFacts& m_facts;
};

MergeStatus Refused(std::string message)
{
    return {MergeOutcome::Refused, std::move(message)};
}

} // namespace

MergeStatus MergeRun::Read(const std::string& mergeFile, const CompareSettings& markers, const MergeFileLimits& limits)
{
    MergeFileProblem problem;
    if (!ReadMergeFile(mergeFile, markers, m_tables, problem, limits))
        return Refused(problem.text);
    BuildUpdates(m_tables);
    return {};
}

std::string MergeRun::Summary(std::size_t table) const
{
    return table < m_tables.size() ? ChangeSummary(m_tables[table]) : std::string();
}

std::string MergeRun::KeyColumns(std::size_t table) const
{
    return table < m_tables.size() ? KeyDescription(m_tables[table]) : std::string();
}

MergeStatus MergeRun::Generate(CDatabase& target, const std::vector<std::size_t>& tables,
                               std::vector<GeneratedStatement>& statements)
{
    statements.clear();
    try {
        const SqlLiteralFacts& facts = target.Facts();
        CRecordsetEx recordset(target);
        std::vector<PlannedTable> planned;
        std::vector<std::string> names;
        for (const std::size_t i : tables) {
            if (i >= m_tables.size())
                continue;
            const TableChanges& table = m_tables[i];
            PlannedTable entry;
            entry.index = i;
            // The recordset rewrites the brackets of the name to the data
            // source's quotes: a name that would not come through is not sent.
            if (!IdentifierQuoting::CanBracket(table.name))
                return Refused("The table name " + table.name +
                               " of the merge file cannot be written into a statement.");
            CColumnInfoArray columns;
            recordset.GetColumns(IdentifierQuoting::Bracketed(table.name), columns);
            if (table.HasChanges()) {
                entry.placement = PlaceColumns(table, columns, DescribeTargetColumns(target, table.name));
                if (!entry.placement.Placed())
                    return Refused(entry.placement.problem);
            } else {
                entry.placement.columns = columns;
            }
            names.push_back(table.name);
            planned.push_back(std::move(entry));
        }
        const std::vector<ForeignKey> keys = ForeignKeysAmong(target, names);
        statements = Planner(m_tables, planned, facts).Plan(keys);
        return {};
    } catch (...) {
        statements.clear();
        return Refused(CurrentErrorText());
    }
}

MergeStatus MergeRun::Execute(CDatabase& target, const std::vector<GeneratedStatement>& statements,
                              ExecutionObserver& observer, const ExecutionOptions& options)
{
    try {
        m_lastExecution = ExecuteStatements(target, statements, observer, options);
    } catch (...) {
        m_lastExecution = ExecutionResult();
        return {MergeOutcome::Stopped, CurrentErrorText()};
    }
    const ExecutionResult& result = m_lastExecution;
    MergeStatus status;
    status.message = ExecutionSummary(result);
    if (result.connectionLost || result.commitError || result.cancelled)
        status.outcome = MergeOutcome::Stopped;
    else if (result.Problems() > 0)
        status.outcome = MergeOutcome::Problems;
    else
        status.outcome = MergeOutcome::Done;
    return status;
}
