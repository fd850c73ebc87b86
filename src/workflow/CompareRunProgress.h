#pragma once
// How a compare run tells its driver how far it is, and how the driver stops it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "datasource/TablePairing.h"

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
};
