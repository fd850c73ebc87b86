#pragma once
// What a compare run did with each pair it was given, and how it ended. The
// texts are for the user: one line per pair that could not be compared, and
// for a run stopped by an error, which tables were finished and which not.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "datasource/TablePairing.h"

enum class PairOutcome {
    NotStarted,   // the run stopped before it (or while it was being dumped)
    Skipped,      // a one-sided pair while tables are compared: nothing to do
    Dumped,       // dumps only (tables are not compared)
    Compared,     // dumped and compared; its section is in the merge file
    NotCompared,  // could not be compared (reason); no section in the merge file
};

// Where a pair's time went, for `compare --verbose`.
struct PairFigures {
    double dumpSeconds = 0;     // both tables read into their dumps
    double splitSeconds = 0;    // dumps split into bucket files (a pair over the memory budget)
    double compareSeconds = 0;  // the comparison (of the bucket pairs)
    double writeSeconds = 0;    // bucket pairs' differences copied into the merge file
    std::size_t buckets = 0;    // bucket pairs; 0 when the pair was compared whole
    std::uint64_t peakMemory = 0;  // bytes resident at most while the pair ran; 0 when unknown
};

struct PairReport {
    TablePairRow pair;
    PairOutcome outcome = PairOutcome::NotStarted;
    std::string reason;       // why a pair was not compared
    std::size_t removed = 0;  // lines only in the old dump
    std::size_t added = 0;    // lines only in the new dump
    PairFigures figures;

    bool Differs() const { return outcome == PairOutcome::Compared && (removed > 0 || added > 0); }
};

struct CompareRunReport {
    std::vector<PairReport> pairs;    // one per pair given, in that order
    bool cancelled = false;           // stopped by the progress interface
    std::optional<std::string> error; // the text of the error that stopped the run
    // The merge file now at its final name is this run's, with the sections of
    // the pairs compared and its end mark; false when the previous file (or
    // none) was left as it was.
    bool mergeFileReplaced = false;

    bool AnyDifference() const;
    bool AllCompared() const;  // no pair NotCompared
    // Neither stopped nor failed, and every pair done (one-sided pairs of a run
    // that compares are skipped, and count as done).
    bool Complete() const;
    // The table names (old name, else new) of the pairs not finished or not
    // compared: those the merge file holds no section of.
    std::vector<std::string> UnfinishedTables() const;
    // "Table t could not be compared: <reason>", one line per such pair.
    std::vector<std::string> NotComparedLines() const;
    // The error, then the finished and the unfinished tables.
    std::string ErrorText() const;
};
