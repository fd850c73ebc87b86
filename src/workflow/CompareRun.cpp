#include "workflow/CompareRun.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include "common/MergeFileLayout.h"
#include "common/OutputFile.h"
#include "common/UiHooks.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"
#include "datasource/DatabaseError.h"
#include "common/CompareSettings.h"
#include "textcompare/SplittingDump.h"
#include "workflow/CompareFolderLock.h"
#include "workflow/ErrorText.h"
#include "workflow/PairComparison.h"
#include "workflow/PeakMemory.h"
#include "workflow/ReplacementFile.h"
#include "workflow/SideBySide.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Raised from inside a dump when the driver of the run asks to stop, or when
// the other side of the pair has failed.
struct RunStopped {};

// How far a side has got: counted by the thread that reads the rows, reported
// to the progress interface by the calling thread.
struct RowCount {
    std::atomic<std::uint64_t> rows{0};
    std::uint64_t reported = 0;
};

// A recordset that counts every row it fetches and gives up when told to.
class DumpingRecordset : public CRecordsetEx {
public:
    DumpingRecordset(CDatabase& database, RowCount& count, const std::atomic<bool>& stop,
                     const std::function<void()>& onRow)
        : CRecordsetEx(database), m_count(count), m_stop(stop), m_onRow(onRow)
    {
    }

private:
    void OnRowFetched() override
    {
        // Only this recordset's thread writes the count.
        m_count.rows.store(m_count.rows.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
        if (m_stop.load(std::memory_order_relaxed))
            throw RunStopped{};
        if (m_onRow)
            m_onRow();
    }

    RowCount& m_count;
    const std::atomic<bool>& m_stop;
    const std::function<void()>& m_onRow;
};

// One side of a pair: its table opened on its connection, dumped on request.
struct PairSide {
    PairSide(const std::string& source, const std::string& name, std::string path, CDatabase& connection,
             const std::atomic<bool>& stopFlag)
        : dataSource(source), table(name), dumpPath(std::move(path)), database(connection), stop(stopFlag)
    {
    }

    const std::string& dataSource;
    const std::string& table;
    std::string dumpPath;
    CDatabase& database;
    const std::atomic<bool>& stop;
    std::unique_ptr<DumpingRecordset> recordset;
    RowCount count;
    // Set when the dump is to split itself once it is too large to compare
    // whole; `buckets` then tells what its buckets hold (none: not split).
    std::optional<DumpSplitSettings> split;
    std::vector<BucketSize> buckets;
    // Called on every row when the sides run one after the other.
    std::function<void()> onRow;

    bool Opened() const { return recordset && recordset->IsOpen(); }
};

// Tells the progress interface the rows a side has read since the last report.
bool ReportRows(PairSide& side, CompareRunProgress& progress)
{
    const std::uint64_t rows = side.count.rows.load(std::memory_order_relaxed);
    if (rows == side.count.reported)
        return true;
    side.count.reported = rows;
    return progress.RowsDumped(side.dataSource, side.table, rows);
}

// Runs `step` on a side; a database error names the table and its data
// source, which the driver's text rarely does.
template <class Step>
void OnSide(const PairSide& side, Step step)
{
    try {
        step();
    } catch (const DatabaseError& error) {
        throw error.WithContext("Cannot read the table " + side.table + " of the data source " + side.dataSource +
                                ".\n");
    }
}

void OpenSide(PairSide& side)
{
    if (side.table.empty() || !side.database.IsOpen())
        return;
    side.recordset = std::make_unique<DumpingRecordset>(side.database, side.count, side.stop, side.onRow);
    OnSide(side, [&] { side.recordset->OpenTable(side.table); });
}

void DumpSide(PairSide& side)
{
    if (!side.Opened())
        return;
    OnSide(side, [&] {
        if (side.split) {
            SplittingDump dump(side.dumpPath, *side.split);
            try {
                side.recordset->WriteRows(dump, ",");
            } catch (const DumpSplitStopped&) {
                throw RunStopped{};
            }
            side.buckets = dump.Buckets();
            return;
        }
        OutputFile dump(side.dumpPath, OutputFile::Mode::Text);
        side.recordset->WriteRows(dump, ",");
        dump.Close();
    });
}

// Does `step` for both sides of a pair: at the same time on threads of their
// own, or one after the other on this thread. While the threads work, this
// thread reports their rows and keeps the user interface alive. The old side's
// error is the one reported when both fail, as when they run in turn.
void OnBothSides(PairSide& oldSide, PairSide& newSide, bool sideBySide, std::atomic<bool>& stop,
                 CompareRunProgress& progress, void (*step)(PairSide&))
{
    if (!sideBySide) {
        step(oldSide);
        step(newSide);
        return;
    }
    bool stopRequested = false;
    const std::vector<std::exception_ptr> errors = RunSideBySide(
        {[&] { step(oldSide); }, [&] { step(newSide); }}, stop, [&] {
            if (!stop.load() && (!ReportRows(oldSide, progress) || !ReportRows(newSide, progress))) {
                stopRequested = true;
                stop.store(true);
            }
            PumpWaitingMessagesIfDue();
        });
    bool stopped = stopRequested;
    for (const std::exception_ptr& error : errors) {
        if (!error)
            continue;
        try {
            std::rethrow_exception(error);
        } catch (const RunStopped&) {
            stopped = true;
        }
    }
    // The last rows of each side are told too, also those of a short table
    // that was done before anyone looked.
    if (stopped || !ReportRows(oldSide, progress) || !ReportRows(newSide, progress))
        throw RunStopped{};
}

std::vector<std::string> ColumnNames(const CRecordsetEx& recordset)
{
    std::vector<std::string> names;
    for (const ColumnInfo& column : recordset.Columns())
        names.push_back(column.name);
    return names;
}

std::string ColumnList(const CRecordsetEx& recordset)
{
    std::string text;
    for (const std::string& name : ColumnNames(recordset))
        text += (text.empty() ? "" : ",") + name;
    return text;
}

bool SameColumns(const CRecordsetEx& a, const CRecordsetEx& b)
{
    if (a.Columns().size() != b.Columns().size())
        return false;
    for (std::size_t i = 0; i < a.Columns().size(); ++i)
        if (a.Columns()[i].name != b.Columns()[i].name)
            return false;
    return true;
}

// Removes the bucket files split from the dumps (of one pair, in one folder),
// also those an earlier run with other buckets left: one look at the folder.
void RemoveBuckets(const std::vector<std::string>& dumpPaths)
{
    if (dumpPaths.empty())
        return;
    std::error_code ignored;  // a file that is not there is no error
    const std::filesystem::path first(dumpPaths.front());
    const std::filesystem::path folder = first.has_parent_path() ? first.parent_path() : std::filesystem::path(".");
    std::vector<std::string> dumpNames;
    for (const std::string& path : dumpPaths)
        dumpNames.push_back(std::filesystem::path(path).filename().string());
    std::vector<std::filesystem::path> buckets;
    for (std::filesystem::directory_iterator entry(folder, ignored), end; !ignored && entry != end;
         entry.increment(ignored)) {
        const std::string name = entry->path().filename().string();
        if (std::any_of(dumpNames.begin(), dumpNames.end(),
                        [&](const std::string& dumpName) { return IsBucketFileOf(name, dumpName); }))
            buckets.push_back(entry->path());
    }
    for (const std::filesystem::path& bucket : buckets)
        std::filesystem::remove(bucket, ignored);
}

// Removes the dumps and their bucket files.
void RemoveDumpsAndBuckets(const std::vector<std::string>& dumpPaths)
{
    std::error_code ignored;
    for (const std::string& path : dumpPaths)
        std::filesystem::remove(path, ignored);
    RemoveBuckets(dumpPaths);
}

// Removes a pair's dumps when it is over: always when asked to, and those of a
// pair that did not finish (half written, or whole but never compared), which
// would look like the pair's current state.
class DumpCleanup {
public:
    DumpCleanup(bool deleteDumps, const PairReport& report, const PairSide& oldSide, const PairSide& newSide)
        : m_deleteDumps(deleteDumps), m_report(report), m_old(oldSide), m_new(newSide)
    {
    }
    ~DumpCleanup()
    {
        if (!m_deleteDumps && m_report.outcome != PairOutcome::NotStarted)
            return;
        std::vector<std::string> dumps;
        for (const PairSide* side : {&m_old, &m_new})
            if (!side->table.empty())
                dumps.push_back(side->dumpPath);
        RemoveDumpsAndBuckets(dumps);
    }
    DumpCleanup(const DumpCleanup&) = delete;
    DumpCleanup& operator=(const DumpCleanup&) = delete;

private:
    bool m_deleteDumps;
    const PairReport& m_report;
    const PairSide& m_old;
    const PairSide& m_new;
};

} // namespace

CompareRun::CompareRun(CompareOptions options, CDatabase& dbOld, CDatabase& dbNew, CompareRunSetup setup,
                       const CompareFolderLock* folderLock)
    : m_options(std::move(options)), m_dbOld(dbOld), m_dbNew(dbNew), m_setup(std::move(setup)),
      m_folderLock(folderLock)
{
    // Only differences go into a merge file: a common line would read as a row to merge.
    m_options.writeCommonSections = false;
}

CompareRun::CompareRun(const CompareSettings& settings, CDatabase& dbOld, CDatabase& dbNew, CompareRunSetup setup,
                       const CompareFolderLock* folderLock)
    : CompareRun(CompareOptionsOf(settings), dbOld, dbNew, std::move(setup), folderLock)
{
}

CompareRun::~CompareRun() = default;

std::string DumpNameFor(const std::string& dataSource, const std::string& role)
{
    return IsConnectionString(dataSource) ? role : dataSource;
}

std::string CompareRun::DumpPath(const std::string& dataSource, const std::string& table) const
{
    return m_setup.path + dataSource + "." + table + ".csv";
}

CompareRunReport CompareRun::Run(const std::vector<TablePairRow>& pairs, CompareRunProgress& progress)
{
    CompareRunReport report;
    for (const TablePairRow& pair : pairs) {
        PairReport entry;
        entry.pair = pair;
        report.pairs.push_back(std::move(entry));
    }
    // Another run's files are not touched, not even its dumps.
    std::optional<CompareFolderLock> ownLock;
    try {
        if (!m_folderLock)
            ownLock.emplace(m_setup.path);
    } catch (...) {
        report.error = CurrentErrorText();
        return report;
    }
    m_sections = 0;
    m_mergeFileWhole = true;
    try {
        if (m_setup.compareTables) {
            m_mergeFile = std::make_unique<ReplacementFile>(MergeFilePath(), OutputFile::Mode::Untranslated);
            m_mergeTemporaryPath = m_mergeFile->TemporaryPath();
        }
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            if (!progress.PairStarting(i + 1, pairs.size(), pairs[i])) {
                report.cancelled = true;
                break;
            }
            ProcessPair(report.pairs[i], progress);
        }
    } catch (const RunStopped&) {
        report.cancelled = true;
    } catch (...) {
        report.error = RunErrorText();
    }
    EndMergeFile(report);
    // The folder now shows this run: dumps that an earlier run left of the
    // tables it did not get to must not pass for its own. Where the earlier
    // merge file stays, they stay with it.
    if (report.mergeFileReplaced || !m_setup.compareTables)
        for (const PairReport& pair : report.pairs)
            if (pair.outcome == PairOutcome::NotStarted)
                RemoveDumps(pair.pair);
    return report;
}

std::string CompareRun::RunErrorText() const
{
    try {
        throw;
    } catch (const FileError& error) {
        if (!m_mergeTemporaryPath.empty() && error.path() == m_mergeTemporaryPath)
            return FileError(MergeFilePath(), "write to", error.error()).what();
        return CurrentErrorText();
    } catch (...) {
        return CurrentErrorText();
    }
}

void CompareRun::EndMergeFile(CompareRunReport& report)
{
    if (!m_mergeFile)
        return;
    const bool keep = m_mergeFileWhole && (report.Complete() || m_setup.keepFinishedPairs);
    if (!keep) {
        m_mergeFile->Drop();
        m_mergeFile.reset();
        return;
    }
    try {
        // Written last, so that a file cut short anywhere has none.
        m_mergeFile->File().Write(MergeFileLayout::EndMark(m_sections));
        m_mergeFile->Commit();
        report.mergeFileReplaced = true;
    } catch (...) {
        if (!report.error)
            report.error = RunErrorText();
    }
    m_mergeFile.reset();  // a file that was not committed goes with it
}

void CompareRun::RemoveDumps(const TablePairRow& pair) const
{
    // Only tables this run would have dumped: a one-sided pair of a run that
    // compares never is.
    if (m_setup.compareTables && (pair.oldName.empty() || pair.newName.empty()))
        return;
    std::vector<std::string> dumps;
    if (!pair.oldName.empty())
        dumps.push_back(DumpPath(m_setup.oldDataSource, pair.oldName));
    if (!pair.newName.empty())
        dumps.push_back(DumpPath(m_setup.newDataSource, pair.newName));
    RemoveDumpsAndBuckets(dumps);
}

void CompareRun::ProcessPair(PairReport& report, CompareRunProgress& progress)
{
    const TablePairRow& pair = report.pair;
    const bool compare = m_setup.compareTables;
    if (compare && (pair.oldName.empty() || pair.newName.empty())) {
        report.outcome = PairOutcome::Skipped;
        return;
    }
    WaitCursor wait;
    ResetPeakMemory();
    // The pair's peak is taken however it ends.
    struct PeakRecorder {
        PairFigures& figures;
        ~PeakRecorder() { figures.peakMemory = PeakMemory().value_or(0); }
    } peak{report.figures};
    // Raised when one side fails, so that the other one ends too.
    std::atomic<bool> stop{false};
    PairSide oldSide{m_setup.oldDataSource, pair.oldName, DumpPath(m_setup.oldDataSource, pair.oldName), m_dbOld, stop};
    PairSide newSide{m_setup.newDataSource, pair.newName, DumpPath(m_setup.newDataSource, pair.newName), m_dbNew, stop};
    // Two threads on one connection would get in each other's way.
    const bool sideBySide = m_setup.sideBySide && &m_dbOld != &m_dbNew;
    if (!sideBySide) {
        for (PairSide* side : {&oldSide, &newSide})
            side->onRow = [side, &progress] {
                if (!ReportRows(*side, progress))
                    throw RunStopped{};
            };
    }
    DumpCleanup cleanup(m_setup.deleteDumps, report, oldSide, newSide);

    OnBothSides(oldSide, newSide, sideBySide, stop, progress, &OpenSide);
    std::string keys;
    std::vector<std::string> columns;
    DumpedPair dumped;
    if (compare) {
        // A dump left by an earlier run must never be compared, and tables
        // whose columns differ would be merged as if one column were another.
        // Such a pair is not dumped: one left by an earlier run goes.
        for (const PairSide* side : {&oldSide, &newSide}) {
            if (!side->Opened()) {
                report.outcome = PairOutcome::NotCompared;
                report.reason = "the table " + side->table + " of the data source " + side->dataSource +
                                " could not be opened";
                RemoveDumps(pair);
                return;
            }
        }
        if (!SameColumns(*oldSide.recordset, *newSide.recordset)) {
            report.outcome = PairOutcome::NotCompared;
            report.reason = "the column lists differ: " + oldSide.dataSource + " has " +
                            ColumnList(*oldSide.recordset) + ", " + newSide.dataSource + " has " +
                            ColumnList(*newSide.recordset);
            RemoveDumps(pair);
            return;
        }
        oldSide.recordset->GetKeyColumnList(keys);
        // Rows that the comparison may pair share their key, so they share a bucket.
        dumped.keyColumns = MergeFileLayout::ParseKeyColumnList(keys);
        columns = ColumnNames(*oldSide.recordset);
        // Buckets of an earlier split of these tables must not mix with this one's.
        RemoveBuckets({oldSide.dumpPath, newSide.dumpPath});
        // A table too large to compare whole goes to its buckets as it is
        // dumped, unless the whole dumps are to stay in the folder.
        if (m_setup.deleteDumps && m_setup.memoryBudget != 0) {
            DumpSplitSettings split;
            split.memoryBudget = m_setup.memoryBudget;
            split.rules = LineRules{m_options.ignoreWhitespace, m_options.ignoreCase};
            split.keyColumns = dumped.keyColumns;
            split.stop = &stop;
            oldSide.split = split;
            newSide.split = split;
        }
    }
    const Clock::time_point dumpStart = Clock::now();
    OnBothSides(oldSide, newSide, sideBySide, stop, progress, &DumpSide);
    report.figures.dumpSeconds = SecondsSince(dumpStart);
    if (!compare) {
        report.outcome = PairOutcome::Dumped;
        return;
    }
    // The drivers' result buffers are freed by now, but the C library keeps
    // their memory for later: give it back before the comparison takes its own.
    ::malloc_trim(0);
    dumped.paths[0] = oldSide.dumpPath;
    dumped.paths[1] = newSide.dumpPath;
    dumped.rows[0] = oldSide.count.rows.load();
    dumped.rows[1] = newSide.count.rows.load();
    dumped.buckets[0] = std::move(oldSide.buckets);
    dumped.buckets[1] = std::move(newSide.buckets);
    ComparePair(report, keys, columns, dumped, progress);
}

void CompareRun::ComparePair(PairReport& report, const std::string& keys, const std::vector<std::string>& columns,
                             const DumpedPair& dumped, CompareRunProgress& progress)
{
    SplitSettings split;
    split.memoryBudget = m_setup.memoryBudget;
    split.threads = m_setup.threads != 0 ? m_setup.threads : std::max(1u, std::thread::hardware_concurrency());
    split.keyColumns = dumped.keyColumns;
    split.lines1 = dumped.rows[0];
    split.lines2 = dumped.rows[1];
    const std::string& oldPath = dumped.paths[0];
    const std::string& newPath = dumped.paths[1];
    split.bucketBase1 = oldPath;
    split.bucketBase2 = newPath;
    split.dumpedBuckets1 = dumped.buckets[0];
    split.dumpedBuckets2 = dumped.buckets[1];
    split.keepBuckets = !m_setup.deleteDumps;
    split.progress = [&report, &progress](SplitPhase phase, std::uint64_t done, std::uint64_t total) {
        return progress.PairWorking(report.pair, phase, done, total);
    };
    SplitFigures figures;
    OutputFile& mergeFile = m_mergeFile->File();
    const std::uint64_t sectionStart = mergeFile.Size();
    PairComparison comparison;
    try {
        mergeFile.Write(MergeFileLayout::SectionHead(report.pair.oldName, keys, columns));
        comparison = CompareDumps(m_options, split, oldPath, newPath, mergeFile, &figures);
        report.figures.buckets = figures.buckets;
        report.figures.splitSeconds = figures.splitSeconds;
        report.figures.writeSeconds = figures.writeSeconds;
        // The split's compare time holds the copying of the reports (none when whole).
        report.figures.compareSeconds = figures.compareSeconds - figures.writeSeconds;
        if (comparison.cancelled) {
            mergeFile.Truncate(sectionStart);
            throw RunStopped{};
        }
        if (comparison.compared) {
            // Each section reaches the file whole before the next begins: a
            // write that fails later then loses nothing but its own section,
            // which the cut below takes out exactly.
            mergeFile.Flush();
        } else {
            mergeFile.Truncate(sectionStart);
        }
    } catch (...) {
        // The pair's head must not stay without its differences: read back,
        // it would say the table has none.
        try {
            mergeFile.Truncate(sectionStart);
        } catch (...) {
            // The first error is the one to report; the file cannot be kept.
            m_mergeFileWhole = false;
        }
        throw;
    }
    if (!comparison.compared) {
        report.outcome = PairOutcome::NotCompared;
        report.reason = comparison.reason;
        return;
    }
    ++m_sections;
    report.outcome = PairOutcome::Compared;
    report.removed = comparison.removed;
    report.added = comparison.added;
}
