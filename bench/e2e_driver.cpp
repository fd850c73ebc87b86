// The whole compare run of one table pair as the program does it (connect,
// dump both tables, compare into the merge file), timed, for bench/e2e_bench.
//
//   e2e_driver OLD_DSN NEW_DSN OLD_TABLE NEW_TABLE FOLDER [--one-after-the-other]
//              [--memory SIZE] [--threads N] [--keep-dumps]
//
// Prints the pair's outcome, the counts, the seconds of the run and where they
// went (dump, split, compare, write; bucket pairs); the exit status is 0 only
// when the pair was compared. Without --memory nothing is split. The dumps go
// at the end, as they do by default on the command line; --keep-dumps keeps
// them (and so, with --memory, splits a large pair after it is dumped).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/CompareSettings.h"
#include "common/MemoryBudget.h"
#include "common/UiHooks.h"
#include "datasource/CDatabase.h"
#include "workflow/CompareRun.h"

namespace {

// No one to ask: the run goes on to its end.
class NoProgress : public CompareRunProgress {
public:
    bool PairStarting(std::size_t, std::size_t, const TablePairRow&) override { return true; }
};

} // namespace

int main(int argc, char** argv)
{
    CompareRunSetup setup;
    bool keepDumps = false;
    bool usage = argc < 6;
    for (int i = 6; i < argc && !usage; ++i) {
        if (std::strcmp(argv[i], "--one-after-the-other") == 0) {
            setup.sideBySide = false;
        } else if (std::strcmp(argv[i], "--memory") == 0 && i + 1 < argc && ParseMemorySize(argv[i + 1])) {
            setup.memoryBudget = *ParseMemorySize(argv[++i]);
        } else if (std::strcmp(argv[i], "--keep-dumps") == 0) {
            keepDumps = true;
        } else if (std::strcmp(argv[i], "--threads") == 0 && i + 1 < argc) {
            setup.threads = static_cast<unsigned>(std::atoi(argv[++i]));
        } else {
            usage = true;
        }
    }
    if (usage) {
        std::fprintf(stderr,
                     "usage: %s OLD_DSN NEW_DSN OLD_TABLE NEW_TABLE FOLDER [--one-after-the-other] "
                     "[--memory SIZE] [--threads N] [--keep-dumps]\n",
                     argv[0]);
        return 2;
    }
    long pumps = 0;
    SetMessagePump([&pumps] { ++pumps; });  // stands in for the window's event processing

    const auto start = std::chrono::steady_clock::now();
    CDatabase dbOld;
    CDatabase dbNew;
    if (!dbOld.OpenDataSource(argv[1]) || !dbNew.OpenDataSource(argv[2])) {
        std::fprintf(stderr, "cannot connect\n");
        return 1;
    }
    CompareSettings settings;
    setup.oldDataSource = "old";
    setup.newDataSource = "new";
    setup.path = std::string(argv[5]) + "/";
    setup.deleteDumps = !keepDumps;
    NoProgress progress;
    CompareRunReport report;
    {
        CompareRun run(settings, dbOld, dbNew, setup);
        report = run.Run({{argv[3], argv[4], true}}, progress);
    }
    dbOld.Close();
    dbNew.Close();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (report.error || report.pairs.empty() || report.pairs[0].outcome != PairOutcome::Compared) {
        std::fprintf(stderr, "not compared: %s\n", report.ErrorText().c_str());
        for (const std::string& line : report.NotComparedLines())
            std::fprintf(stderr, "%s\n", line.c_str());
        return 1;
    }
    const PairFigures& f = report.pairs[0].figures;
    std::printf("removed %zu added %zu run %.3f s pumps %ld dump %.2f split %.2f compare %.2f write %.2f buckets %zu\n",
                report.pairs[0].removed, report.pairs[0].added, seconds, pumps, f.dumpSeconds, f.splitSeconds,
                f.compareSeconds, f.writeSeconds, f.buckets);
    return 0;
}
