#include "textcompare/PairReports.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <system_error>
#include <unistd.h>

#include "common/OutputFile.h"
#include "textcompare/FileDescriptor.h"
#include "textcompare/JobThreads.h"
#include "textcompare/OutputFileSink.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kPollInterval = std::chrono::milliseconds(10);
constexpr std::size_t kCopyBytes = std::size_t(1) << 20;

void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    if (from.empty())
        return;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

} // namespace

PairReports::PairReports(const std::vector<ReportPair>& pairs, const CompareOptions& options,
                         const std::string& file1, const std::string& file2, PartFiles& files, ReportSink& sink)
    : m_pairs(pairs), m_options(options), m_file1(file1), m_file2(file2), m_files(files), m_sink(sink)
{
}

void PairReports::Fail(std::size_t index, CompareStatus status, std::string message)
{
    // The first pair's failure, whichever thread saw its failure first.
    if (index < m_failedPair) {
        m_failedPair = index;
        m_failure.status = status;
        m_failure.message = std::move(message);
    }
}

// On a pair's own thread.
void PairReports::Compare(const ReportPair& pair, Result& result) const
{
    CompareOutcome outcome;
    try {
        OutputFile report(pair.reportPath, OutputFile::Mode::Untranslated);
        OutputFileSink sink(report);
        outcome = CompareFiles(pair.path1, pair.path2, m_options, sink);
        if (outcome.status == CompareStatus::Compared)
            report.Close();
    } catch (const FileError&) {
        outcome = CompareOutcome();
        outcome.status = CompareStatus::WriteFailed;
        outcome.message = "Cannot write the differences between the files " + pair.path1 + " and " + pair.path2 + ".";
    } catch (const std::bad_alloc&) {
        outcome = CompareOutcome();
        outcome.status = CompareStatus::OutOfMemory;
        outcome.message = "Not enough memory to compare the files " + pair.path1 + " and " + pair.path2 + ".";
    }
    // The user knows the dumps, not their buckets. The longer name first, in
    // case one bucket's name begins with the other's.
    const bool longer1 = pair.path1.size() >= pair.path2.size();
    ReplaceAll(outcome.message, longer1 ? pair.path1 : pair.path2, longer1 ? m_file1 : m_file2);
    ReplaceAll(outcome.message, longer1 ? pair.path2 : pair.path1, longer1 ? m_file2 : m_file1);
    result.outcome = std::move(outcome);
    result.ended.store(true, std::memory_order_release);
}

bool PairReports::CopyReport(const std::string& path, std::uint64_t done,
                             const std::function<bool(std::uint64_t, std::uint64_t)>& going)
{
    // The copy's time counts however it ends.
    struct Timer {
        double& seconds;
        const Clock::time_point start = Clock::now();
        ~Timer() { seconds += std::chrono::duration<double>(Clock::now() - start).count(); }
    } timer{m_writeSeconds};
    const auto failed = [&](CompareStatus status, const std::string& what) {
        Fail(done, status, what + " the differences between the files " + m_file1 + " and " + m_file2 + ".");
        return false;
    };
    const FileDescriptor report(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (report.get() < 0)
        return failed(CompareStatus::CannotRead, "Cannot read");
    std::string buffer(kCopyBytes, '\0');
    for (;;) {
        ssize_t n;
        do
            n = ::read(report.get(), buffer.data(), buffer.size());
        while (n < 0 && errno == EINTR);
        if (n < 0)
            return failed(CompareStatus::CannotRead, "Cannot read");
        if (n == 0)
            break;
        if (!m_sink.Write(std::string_view(buffer.data(), static_cast<std::size_t>(n))))
            return failed(CompareStatus::WriteFailed, "Cannot write");
        if (!going(done, m_pairs.size()))
            return false;
    }
    return true;
}

CompareOutcome PairReports::Run(std::uint64_t budget, unsigned threads, std::atomic<bool>& stop,
                                const std::function<bool(std::uint64_t done, std::uint64_t total)>& going)
{
    const std::size_t count = m_pairs.size();
    std::vector<Result> results(count);
    CompareOutcome total;
    std::size_t started = 0;
    std::size_t written = 0;
    std::uint64_t inUse = 0;  // the memory of the pairs started and not yet seen to end
    JobThreads jobs;
    // Takes back the memory of the pairs that ended and notes their failures.
    const auto takeEnded = [&] {
        for (std::size_t i = written; i < started; ++i) {
            Result& r = results[i];
            if (r.counted || !r.ended.load(std::memory_order_acquire))
                continue;
            r.counted = true;
            inUse -= m_pairs[i].memory;
            if (r.outcome.status != CompareStatus::Compared && r.outcome.status != CompareStatus::Cancelled)
                Fail(i, r.outcome.status, r.outcome.message);
        }
    };
    try {
        while (written < count && m_failedPair == SIZE_MAX && !stop) {
            takeEnded();
            if (m_failedPair != SIZE_MAX)
                break;
            while (started < count) {
                const ReportPair& pair = m_pairs[started];
                Result& result = results[started];
                if (!pair.empty) {
                    const std::size_t running = jobs.Running();
                    if (running >= threads || (running > 0 && inUse + pair.memory > budget))
                        break;
                    m_files.Add(pair.reportPath, PartFiles::Kind::Report);
                    jobs.Start([this, &pair, &result] { Compare(pair, result); });
                    inUse += pair.memory;
                } else {
                    result.ended.store(true, std::memory_order_release);
                    result.counted = true;
                }
                ++started;
            }
            Result& next = results[written];
            if (written < started && next.counted) {
                const ReportPair& pair = m_pairs[written];
                if (!pair.empty) {
                    if (!CopyReport(pair.reportPath, written, going))
                        break;
                    total.removedLines += next.outcome.removedLines;
                    total.addedLines += next.outcome.addedLines;
                    m_files.Remove(pair.reportPath);
                }
                m_files.Remove(pair.path1);
                m_files.Remove(pair.path2);
                ++written;
            } else {
                jobs.WaitForEnd(kPollInterval);
            }
            if (!going(written, count))
                break;
        }
    } catch (const std::system_error& e) {
        Fail(written, CompareStatus::OutOfMemory,
             "Cannot start a thread to compare the files " + m_file1 + " and " + m_file2 + ": " + e.what());
    }
    if (written < count)
        stop = true;
    jobs.JoinAll();
    takeEnded();
    if (m_failedPair != SIZE_MAX) {
        m_failure.removedLines = total.removedLines;
        m_failure.addedLines = total.addedLines;
        return m_failure;
    }
    if (written < count) {
        total.status = CompareStatus::Cancelled;
        total.message.clear();
    }
    return total;
}
