#pragma once
// The progress of a run on standard error when it is a terminal: a bar of the
// pairs done, the table being dumped and its rows. Ctrl+C (SIGINT) and SIGTERM
// ask the run to stop at its next row, pair or statement instead of ending the
// program in the middle of a file or a transaction.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "workflow/CompareRunProgress.h"

class TerminalProgress : public CompareRunProgress {
public:
    // `shown`: draw the bar (standard error is a terminal and not --quiet).
    explicit TerminalProgress(bool shown);
    ~TerminalProgress() override;  // clears the bar's line
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    bool PairStarting(std::size_t number, std::size_t total, const TablePairRow& pair) override;
    bool RowsDumped(const std::string& dataSource, const std::string& table, std::uint64_t rows) override;
    bool PairWorking(const TablePairRow& pair, SplitPhase phase, std::uint64_t done, std::uint64_t total) override;
    // For runs counted in steps (statements): false once interrupted.
    bool Step(std::size_t done, std::size_t total, const std::string& what);

    // Whether Ctrl+C was pressed (or SIGTERM came) since the object was made.
    static bool Interrupted();

private:
    void Draw(const std::string& detail);

    bool m_shown;
    std::size_t m_number = 0;
    std::size_t m_total = 0;
    std::string m_table;
    // Per data source and table, the block of rows last drawn.
    std::map<std::string, std::uint64_t> m_drawnBlocks;
};

// Whether the bar would be drawn: standard error is a terminal.
bool ProgressWanted(bool quiet);
