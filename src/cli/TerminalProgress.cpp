#include "cli/TerminalProgress.h"

#include <csignal>
#include <unistd.h>

#include <iostream>

namespace {

constexpr std::size_t kBarWidth = 24;
constexpr std::uint64_t kRowsPerRedraw = 4096;

// Written by the signal handler only; a signal handler can touch nothing else.
volatile std::sig_atomic_t s_interrupted = 0;

extern "C" void OnInterrupt(int)
{
    s_interrupted = 1;
}

} // namespace

bool ProgressWanted(bool quiet)
{
    return !quiet && ::isatty(STDERR_FILENO);
}

TerminalProgress::TerminalProgress(bool shown) : m_shown(shown)
{
    s_interrupted = 0;
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    // A driver waiting on its server goes on waiting: the run stops at its next row.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    // SIGTERM (a service manager, kill) ends the run the same careful way.
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    // A parent may hand its blocked signals down; Ctrl+C must reach the run.
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    sigaddset(&interrupt, SIGTERM);
    ::sigprocmask(SIG_UNBLOCK, &interrupt, nullptr);
}

TerminalProgress::~TerminalProgress()
{
    if (m_shown)
        std::cerr << "\r\033[K" << std::flush;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

bool TerminalProgress::Interrupted()
{
    return s_interrupted != 0;
}

bool TerminalProgress::PairStarting(std::size_t number, std::size_t total, const TablePairRow& pair)
{
    m_number = number;
    m_total = total;
    m_table = pair.Name();
    Draw("");
    return !Interrupted();
}

bool TerminalProgress::RowsDumped(const std::string& dataSource, const std::string& table, std::uint64_t rows)
{
    // Rows come one by one or, while both tables of a pair are read at once, in
    // steps of any size: redraw whenever a table has passed another block.
    std::uint64_t& drawn = m_drawnBlocks[dataSource + "." + table];
    if (rows / kRowsPerRedraw != drawn || rows == 1) {
        drawn = rows / kRowsPerRedraw;
        Draw(table + ": " + std::to_string(rows) + " rows");
    }
    return !Interrupted();
}

bool TerminalProgress::PairWorking(const TablePairRow& pair, SplitPhase phase, std::uint64_t done,
                                   std::uint64_t total)
{
    const std::string& table = pair.Name();
    if (phase == SplitPhase::Splitting)
        Draw(table + ": splitting " + std::to_string(total == 0 ? 100 : done * 100 / total) + "%");
    else if (total > 1)
        Draw(table + ": comparing bucket pairs, " + std::to_string(done) + " of " + std::to_string(total) + " done");
    else
        Draw(table + ": comparing");
    return !Interrupted();
}

bool TerminalProgress::Step(std::size_t done, std::size_t total, const std::string& what)
{
    m_number = done + 1;  // drawn as the count done
    m_total = total;
    m_table = what;
    Draw("");
    return !Interrupted();
}

void TerminalProgress::Draw(const std::string& detail)
{
    if (!m_shown)
        return;
    const std::size_t done = m_number > 0 ? m_number - 1 : 0;
    const std::size_t filled = m_total == 0 ? 0 : done * kBarWidth / m_total;
    std::cerr << "\r\033[K[" << std::string(filled, '#') << std::string(kBarWidth - filled, '.') << "] " << done
              << "/" << m_total << " " << (detail.empty() ? m_table : detail) << std::flush;
}
