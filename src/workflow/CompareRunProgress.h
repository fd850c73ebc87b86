#pragma once
// How a compare run tells its driver how far it is, and how the driver stops it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "datasource/TablePairing.h"
#include "textcompare/SplitCompare.h"

class CompareRunProgress {
public:
    virtual ~CompareRunProgress() = default;

    // Pair `number` (1-based) of `total` is about to start. False stops the run
    // before it.
    virtual bool PairStarting(std::size_t number, std::size_t total, const TablePairRow& pair) = 0;

    // `rows` rows of `table` (of `dataSource`) have been read into its dump so
    // far. False stops the run at once; the pair is then not finished.
    virtual bool RowsDumped(const std::string& dataSource, const std::string& table, std::uint64_t rows)
    {
        (void)dataSource;
        (void)table;
        (void)rows;
        return true;
    }

    // A pair too large for the memory budget is being split (`done` of `total`
    // bytes) or its bucket pairs compared (`done` of `total` pairs). Called at
    // least every tenth of a second while that goes on; false stops the run
    // at once, and the pair is not finished.
    virtual bool PairWorking(const TablePairRow& pair, SplitPhase phase, std::uint64_t done, std::uint64_t total)
    {
        (void)pair;
        (void)phase;
        (void)done;
        (void)total;
        return true;
    }
};
