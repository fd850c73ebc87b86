#include "cli/CompareCommands.h"


#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>

#include "cli/CliSession.h"
#include "common/AsciiNoCase.h"
#include "cli/TerminalProgress.h"
#include "datasource/CDatabase.h"
#include "common/CompareSettings.h"
#include "common/MemoryBudget.h"
#include "workflow/CompareFolderLock.h"
#include "workflow/CompareRun.h"
#include "workflow/ErrorText.h"
#include "workflow/TableListing.h"

namespace {

namespace fs = std::filesystem;

struct Connections {
    CDatabase oldDatabase;
    CDatabase newDatabase;
};

bool OpenBoth(CliSession& session, Connections& connections)
{
    const auto& args = session.Arguments().positional;
    return session.Open(connections.oldDatabase, args[0]) && session.Open(connections.newDatabase, args[1]);
}

// The paired tables, or an error line and false.
// A data source that lists no table (an empty or newly created SQLite file, a
// login that sees none) is an error: compared, it would say that nothing differs.
bool ListPairs(CliSession& session, Connections& connections, std::vector<TablePairRow>& pairs)
{
    try {
        std::vector<std::string> names[2];
        CDatabase* databases[2] = {&connections.oldDatabase, &connections.newDatabase};
        for (int side = 0; side < 2; ++side) {
            ReadTableNames(*databases[side], names[side]);
            if (names[side].empty()) {
                session.Error("the data source " + DataSourceLabel(session.Arguments().positional[side]) +
                              " lists no tables");
                return false;
            }
        }
        pairs = PairTables(names[0], names[1]);
        return true;
    } catch (...) {
        session.Error(CurrentErrorText());
        return false;
    }
}

// The row a --table name means: one whose old or new name it spells exactly;
// else the one row whose name it matches ignoring case, when only one does.
NamedCandidate FindNamedPair(const std::vector<TablePairRow>& pairs, const std::string& name)
{
    return FindNamedCandidate(pairs.size(), [&](std::size_t i, bool ignoringCase) {
        return SameName(pairs[i].oldName, name, ignoringCase) || SameName(pairs[i].newName, name, ignoringCase);
    });
}

// The pairs named by --table, else every pair with both sides. False after an
// error line for a name without a pair.
bool SelectPairs(CliSession& session, const std::vector<TablePairRow>& pairs, std::vector<TablePairRow>& selected)
{
    const auto& args = session.Arguments();
    if (args.tables.empty()) {
        for (const TablePairRow& pair : pairs)
            if (!pair.oldName.empty() && !pair.newName.empty())
                selected.push_back(pair);
        return true;
    }
    for (const std::string& name : args.tables) {
        const NamedCandidate named = FindNamedPair(pairs, name);
        if (named.ambiguous) {
            session.Error("table " + name + ": several tables differ from it only in case; name one exactly");
            return false;
        }
        if (!named.index) {
            session.Error("table " + name + ": in neither " + DataSourceLabel(args.positional[0]) + " nor " +
                          DataSourceLabel(args.positional[1]));
            return false;
        }
        const TablePairRow* found = &pairs[*named.index];
        if (!found->note.empty()) {
            session.Error("table " + name + ": " + found->note);
            return false;
        }
        if (found->oldName.empty() || found->newName.empty()) {
            session.Error("table " + name + ": only in " +
                          DataSourceLabel(args.positional[found->oldName.empty() ? 1 : 0]));
            return false;
        }
        selected.push_back(*found);
    }
    return true;
}

// "Users: not paired: the names Users and users differ only in case" for each
// table that a name differing only in case kept from a partner, when the run
// takes every pair (--table refuses such a table outright).
// A table that only one side has is named too: nothing compares it.
void NoteUnpairedTables(CliSession& session, const std::vector<TablePairRow>& pairs)
{
    if (!session.Arguments().tables.empty())
        return;
    for (const TablePairRow& pair : pairs) {
        if (!pair.note.empty())
            session.Info(pair.Name() + ": " + pair.note);
        else if (pair.oldName.empty() || pair.newName.empty())
            session.Info(pair.Name() + ": only in " +
                         DataSourceLabel(session.Arguments().positional[pair.oldName.empty() ? 1 : 0]) +
                         ", not compared");
    }
}

// The first part of the dump names of a side: a DSN as it is; for a
// connection string the side's role, which holds no "/" or "=".
std::string CountsText(const PairReport& pair)
{
    return (pair.pair.oldName) + ": " + std::to_string(pair.removed) + " removed, " + std::to_string(pair.added) +
           " added";
}

std::string Seconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", seconds);
    return text;
}

// Where a pair's time went, for --verbose: "Orders: dump 1.20 s, split 0.41 s,
// compare 2.10 s (16 bucket pairs), write 0.10 s, peak memory 412M".
std::string FiguresText(const PairReport& pair)
{
    const PairFigures& f = pair.figures;
    std::string text = pair.pair.oldName + ": dump " + Seconds(f.dumpSeconds);
    if (f.buckets != 0)
        text += ", split " + Seconds(f.splitSeconds);
    text += ", compare " + Seconds(f.compareSeconds);
    if (f.buckets != 0)
        text += " (" + std::to_string(f.buckets) + " bucket pairs), write " + Seconds(f.writeSeconds);
    if (f.peakMemory != 0)
        text += ", peak memory " + MemorySizeText(f.peakMemory / (1024 * 1024) * (1024 * 1024));
    return text;
}

// A --memory that is no size ends the command before it connects.
bool MemoryOptionValid(const CliSession& session)
{
    const std::string* given = session.Arguments().Value("--memory");
    if (!given || ParseMemorySize(*given))
        return true;
    session.Error("--memory " + *given + " is no size such as 512M or 4G");
    return false;
}

// The memory budget of a comparison: --memory, else the stored setting, else
// a quarter of the machine's memory. False after an error line.
bool MemoryBudgetFor(const CliSession& session, const CompareSettings& settings, std::uint64_t& budget)
{
    if (const std::string* given = session.Arguments().Value("--memory")) {
        if (!MemoryOptionValid(session))
            return false;
        budget = *ParseMemorySize(*given);
        return true;
    }
    const std::optional<std::uint64_t> stored = MemoryBudgetOf(settings.m_strMemoryBudget);
    if (!stored) {
        session.Error("the stored memory per comparison \"" + settings.m_strMemoryBudget +
                      "\" is no size such as 512M or 4G; set it in the program's Options or give --memory");
        return false;
    }
    budget = *stored;
    return true;
}

// Runs the compare into `folder` (locked by the caller when `folderLock` is
// given); prints what `printAll` asks (every table, or only those that differ)
// and returns the exit status.
int CompareInto(CliSession& session, Connections& connections, const std::vector<TablePairRow>& pairs,
                const std::string& folder, bool deleteDumps, bool printAll, const std::string& oldRole,
                const CompareFolderLock* folderLock)
{
    const auto& args = session.Arguments();
    CompareSettings settings;
    try {
        session.LoadCompareSettings(settings);
    } catch (...) {
        session.Error("cannot read the settings: " + CurrentErrorText());
        return kExitError;
    }
    if (args.Has("--ignore-case"))
        settings.m_bIgnoreCase = 1;
    if (args.Has("--ignore-whitespace"))
        settings.m_bIgnoreWhitespace = 1;

    CompareRunSetup setup;
    if (!MemoryBudgetFor(session, settings, setup.memoryBudget))
        return kExitError;
    setup.oldDataSource = DumpNameFor(args.positional[0], oldRole);
    setup.newDataSource = DumpNameFor(args.positional[1], "new");
    if (setup.oldDataSource == setup.newDataSource) {
        setup.oldDataSource = oldRole;
        setup.newDataSource = "new";
    }
    setup.path = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    setup.compareTables = true;
    setup.deleteDumps = deleteDumps;
    // Only a run that compared every pair replaces the merge file: one that
    // stops half-way or leaves a table out must not look complete.
    setup.keepFinishedPairs = false;

    CompareRunReport report;
    {
        TerminalProgress progress(ProgressWanted(session.Quiet()));
        CompareRun run(settings, connections.oldDatabase, connections.newDatabase, setup, folderLock);
        report = run.Run(pairs, progress);
    }
    for (const PairReport& pair : report.pairs)
        if (pair.outcome == PairOutcome::Compared && (printAll || pair.Differs()))
            printAll ? session.Info(CountsText(pair)) : session.Result(CountsText(pair));
    // On standard error, so that standard output keeps its one line per table.
    if (args.Has("--verbose"))
        for (const PairReport& pair : report.pairs)
            if (pair.outcome == PairOutcome::Compared)
                std::cerr << FiguresText(pair) << std::endl;
    for (const std::string& line : report.NotComparedLines())
        session.Error(line);
    if (report.error) {
        const std::string text = report.ErrorText();
        const std::size_t tables = text.rfind("Tables finished:");
        session.Error(text.substr(0, tables));
        session.Error(text.substr(tables));
    }
    // The merge file of verify is a scratch file; that of compare is the user's.
    const std::string left = setup.path + CompareRun::kMergeFileName + " was left as it was";
    if (report.cancelled)
        session.Error("interrupted; " + left);
    else if (printAll && !report.mergeFileReplaced)
        session.Error(left);
    if (report.error || report.cancelled || !report.AllCompared())
        return kExitError;
    return report.AnyDifference() ? kExitDifferent : kExitEqual;
}

// A folder of its own under TMPDIR, removed with the object.
class ScratchFolder {
public:
    ScratchFolder()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tolvane-verify.XXXXXX";
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        if (!m_path.empty())
            fs::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace

int RunTables(CliSession& session)
{
    Connections connections;
    std::vector<TablePairRow> pairs;
    if (!OpenBoth(session, connections) || !ListPairs(session, connections, pairs))
        return kExitError;
    // A pair not made because names differ only in case says why in a third field.
    for (const TablePairRow& pair : pairs)
        session.Result(pair.oldName + "\t" + pair.newName + (pair.note.empty() ? "" : "\t" + pair.note));
    return kExitEqual;
}

int RunCompare(CliSession& session)
{
    if (!MemoryOptionValid(session))
        return kExitError;
    const std::string& out = session.Arguments().out;
    std::error_code error;
    fs::create_directories(out, error);
    if (error) {
        session.Error("cannot create the folder " + out + ": " + error.message());
        return kExitError;
    }
    // Before connecting: a second run into the folder fails at once.
    std::optional<CompareFolderLock> folderLock;
    try {
        folderLock.emplace(out);
    } catch (...) {
        session.Error(CurrentErrorText());
        return kExitError;
    }
    Connections connections;
    std::vector<TablePairRow> pairs;
    std::vector<TablePairRow> selected;
    if (!OpenBoth(session, connections) || !ListPairs(session, connections, pairs) ||
        !SelectPairs(session, pairs, selected))
        return kExitError;
    NoteUnpairedTables(session, pairs);
    return CompareInto(session, connections, selected, out, !session.Arguments().Has("--keep-dumps"), true, "old",
                       &*folderLock);
}

int RunVerify(CliSession& session)
{
    if (!MemoryOptionValid(session))
        return kExitError;
    Connections connections;
    std::vector<TablePairRow> pairs;
    std::vector<TablePairRow> selected;
    if (!OpenBoth(session, connections) || !ListPairs(session, connections, pairs) ||
        !SelectPairs(session, pairs, selected))
        return kExitError;
    // The merge adds no tables: one side's own tables are named, not counted.
    NoteUnpairedTables(session, pairs);
    ScratchFolder folder;
    if (folder.Path().empty()) {
        session.Error("cannot create a temporary folder for the dumps");
        return kExitError;
    }
    const int status = CompareInto(session, connections, selected, folder.Path(), true, false, "target", nullptr);
    if (status == kExitEqual)
        session.Info(std::to_string(selected.size()) + " tables equal");
    return status;
}
