#include "textcompare/SplitRun.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "textcompare/BucketHash.h"
#include "textcompare/FileDescriptor.h"
#include "textcompare/MessageDrain.h"
#include "textcompare/PairReports.h"

namespace {

using Clock = std::chrono::steady_clock;

// The budget is shared by up to this many pairs at once, whatever the
// threads, so that the buckets, and so the report, do not change with the
// number of threads...
constexpr std::uint64_t kPairsPerBudget = 8;
// ...but not into pairs smaller than this: a file up to 16 MiB is read into
// memory, and a small pair spends more time on fresh pages than it saves.
constexpr std::uint64_t kSmallestPair = std::uint64_t(32) << 20;

// Buckets per split: each is an open file while its dump is split, and both
// dumps may be split at once, so that up to 514 files are open then.
constexpr std::size_t kMaxBucketsPerLevel = 256;

// The key's split and up to three splits by whole rows.
constexpr unsigned kMaxLevels = 4;

// A hash spreads rows evenly only on average: room for the largest bucket.
constexpr double kSpread = 1.15;

constexpr auto kPollInterval = std::chrono::milliseconds(10);
constexpr auto kProgressInterval = std::chrono::milliseconds(25);

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// The size of a file; false when it cannot be looked at.
bool FileSize(const std::string& path, std::uint64_t& size)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

// The first bytes of a file (fewer when it is shorter or cannot be read).
std::string FileStart(const std::string& path, std::size_t bytes)
{
    std::string start(bytes, '\0');
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    ssize_t n = -1;
    if (file.get() >= 0) {
        do
            n = ::read(file.get(), start.data(), bytes);
        while (n < 0 && errno == EINTR);
    }
    start.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return start;
}

// Rows of a file from the line feeds in its first MiB; quoted line feeds
// count as rows, which errs on the side of more memory.
std::uint64_t EstimateLines(const std::string& path, std::uint64_t size)
{
    if (size == 0)
        return 0;
    const std::string sample = FileStart(path, std::size_t(1) << 20);
    const auto feeds = static_cast<std::uint64_t>(std::count(sample.begin(), sample.end(), '\n'));
    if (sample.empty())
        return 1;
    const double perByte = double(feeds + 1) / double(sample.size());
    return std::max<std::uint64_t>(1, static_cast<std::uint64_t>(perByte * double(size)));
}

std::uint64_t PairMemory(const BucketSize& size1, const BucketSize& size2)
{
    return ComparisonMemory(size1.bytes, size1.lines, size2.bytes, size2.lines);
}

// The fewest buckets (at least two) that make a bucket pair of these files fit
// `target` with room for an uneven spread; kMaxBucketsPerLevel when none do.
std::size_t BucketCount(const BucketSize& size1, const BucketSize& size2, std::uint64_t target)
{
    const auto part = [](std::uint64_t n, std::size_t k) {
        return static_cast<std::uint64_t>(double(n) * kSpread / double(k)) + 1;
    };
    for (std::size_t k = 2; k < kMaxBucketsPerLevel; ++k) {
        if (ComparisonMemory(part(size1.bytes, k), part(size1.lines, k), part(size2.bytes, k),
                             part(size2.lines, k)) <= target)
            return k;
    }
    return kMaxBucketsPerLevel;
}

} // namespace

void SplitRun::Fail(CompareStatus status, std::string message)
{
    if (m_failure.status == CompareStatus::Compared) {
        m_failure.status = status;
        m_failure.message = std::move(message);
    }
    m_stop = true;
}

CompareOutcome SplitRun::Stopped() const
{
    if (m_failure.status != CompareStatus::Compared)
        return m_failure;
    CompareOutcome outcome;
    outcome.status = CompareStatus::Cancelled;
    return outcome;
}

// The calling thread's turn: the user interface's messages, the caller's stop
// flag and progress (told when due, the first of a phase and `always` at
// once). False once the run is to stop.
bool SplitRun::Continue(SplitPhase phase, std::uint64_t done, std::uint64_t total, bool always)
{
    PumpWaitingMessagesIfDue();
    if (StopRequested(m_options.stop))
        m_stop = true;
    const Clock::time_point now = Clock::now();
    if (m_split.progress && !m_stop &&
        (always || !m_progressCalled || phase != m_phase || now - m_lastProgress >= kProgressInterval)) {
        m_progressCalled = true;
        m_phase = phase;
        m_lastProgress = now;
        if (!m_split.progress(phase, done, total))
            m_stop = true;
    }
    return !m_stop;
}

bool SplitRun::WaitForJobs(JobThreads& jobs, SplitPhase phase, const std::function<std::uint64_t()>& done,
                           const std::function<std::uint64_t()>& total)
{
    bool going = true;
    while (jobs.Running() > 0) {
        jobs.WaitForEnd(kPollInterval);
        if (!Continue(phase, done(), total()))
            going = false;  // the jobs see the flag and end soon
    }
    return going && !m_stop;
}

CompareOutcome SplitRun::Whole()
{
    if (!m_split.progress)
        return CompareFiles(m_file1, m_file2, m_options, m_sink);
    // On a thread of its own, so that progress is told while it runs.
    CompareOptions options = m_options;
    options.stop = &m_stop;
    CompareOutcome outcome;
    JobThreads jobs;
    try {
        jobs.Start([&] { outcome = CompareFiles(m_file1, m_file2, options, m_sink); });
    } catch (const std::system_error&) {
        return CompareFiles(m_file1, m_file2, m_options, m_sink);
    }
    WaitForJobs(jobs, SplitPhase::Comparing, [] { return 0; }, [] { return 1; });
    if (outcome.status == CompareStatus::Compared)
        Continue(SplitPhase::Comparing, 1, 1, true);
    return outcome;
}

// Splits both files of `whole` into `count` buckets each: by key at level 0,
// by whole rows at a later level.
bool SplitRun::SplitBoth(const PartPair& whole, std::size_t count, unsigned hashLevel, std::vector<PartPair>& parts)
{
    parts.assign(count, PartPair());
    std::vector<std::string> paths1(count);
    std::vector<std::string> paths2(count);
    for (std::size_t b = 0; b < count; ++b) {
        PartPair& part = parts[b];
        const std::string suffix = "." + std::to_string(b);
        part.path1 = hashLevel == 0 ? BucketFileName(whole.path1, b) : whole.path1 + suffix;
        part.path2 = hashLevel == 0 ? BucketFileName(whole.path2, b) : whole.path2 + suffix;
        part.level = hashLevel + 1;
        paths1[b] = part.path1;
        paths2[b] = part.path2;
        m_files.Add(part.path1, PartFiles::Kind::Bucket);
        m_files.Add(part.path2, PartFiles::Kind::Bucket);
    }
    // The sources: the dumps themselves at level 0, bucket files later. A dump
    // split while it was written has its buckets already.
    const auto dumpedBuckets = [hashLevel](const std::vector<BucketSize>& buckets) {
        return hashLevel == 0 && !buckets.empty() ? &buckets : nullptr;
    };
    const std::vector<BucketSize>* dumped1 = dumpedBuckets(m_split.dumpedBuckets1);
    const std::vector<BucketSize>* dumped2 = dumpedBuckets(m_split.dumpedBuckets2);
    const std::string& source1 = hashLevel == 0 ? m_file1 : whole.path1;
    const std::string& source2 = hashLevel == 0 ? m_file2 : whole.path2;
    const LineRules rules{m_options.ignoreWhitespace, m_options.ignoreCase};
    BucketSplit split1;
    BucketSplit split2;
    if (dumped1)
        split1.buckets = *dumped1;
    if (dumped2)
        split2.buckets = *dumped2;
    const auto splitter = [&](const std::string& source, const std::vector<std::string>& paths, BucketSplit& out) {
        return [&, hasher = BucketHasher(rules, m_split.keyColumns)]() mutable {
            const BucketChooser choose = [&](std::string_view row) {
                return BucketOf(hashLevel == 0 ? hasher.KeyHash(row) : hasher.RowHash(row, hashLevel), count);
            };
            out = SplitIntoBuckets(source, paths, choose, m_stop, m_bytesSplit);
        };
    };
    std::vector<std::function<void()>> work;
    std::vector<const BucketSplit*> results;
    if (!dumped1) {
        work.push_back(splitter(source1, paths1, split1));
        results.push_back(&split1);
    }
    if (!dumped2) {
        work.push_back(splitter(source2, paths2, split2));
        results.push_back(&split2);
    }
    const auto done = [this] { return m_bytesSplit.load(); };
    const auto total = [this] { return m_bytesToSplit; };
    JobThreads jobs;
    try {
        // Both files at once when there are threads for it.
        for (std::size_t i = 0; i < work.size(); ++i) {
            jobs.Start(work[i]);
            if (m_threads >= 2 && i + 1 < work.size())
                continue;
            if (!WaitForJobs(jobs, SplitPhase::Splitting, done, total) ||
                results[i]->status != BucketSplit::Status::Split)
                break;
        }
        jobs.JoinAll();
    } catch (const std::system_error& e) {
        m_stop = true;
        jobs.JoinAll();
        Fail(CompareStatus::OutOfMemory, "Cannot start a thread to compare the files " + m_file1 + " and " +
                                             m_file2 + ": " + e.what());
        return false;
    }
    NoteFailure(split1, m_file1);
    NoteFailure(split2, m_file2);
    if (m_stop || split1.buckets.size() != count || split2.buckets.size() != count)
        return false;
    for (std::size_t b = 0; b < count; ++b) {
        parts[b].size1 = split1.buckets[b];
        parts[b].size2 = split2.buckets[b];
    }
    return true;
}

// A failed split of one of the dumps (or of its buckets) fails the run.
void SplitRun::NoteFailure(const BucketSplit& split, const std::string& file)
{
    switch (split.status) {
    case BucketSplit::Status::Split:
    case BucketSplit::Status::Cancelled:
        break;
    case BucketSplit::Status::CannotRead:
        Fail(CompareStatus::CannotRead, "Cannot read the file " + file + ": " + split.error);
        break;
    case BucketSplit::Status::CannotWrite:
        Fail(CompareStatus::WriteFailed, "Cannot split the file " + file + " into parts: " + split.error);
        break;
    case BucketSplit::Status::OutOfMemory:
        Fail(CompareStatus::OutOfMemory, "Not enough memory to compare the files " + m_file1 + " and " + m_file2 + ".");
        break;
    }
}

// Appends `part` to the leaves, or its buckets when it is too large: split
// again by a hash of whole rows (its rows share a few keys), as long as that
// tells its rows apart.
bool SplitRun::Refine(const PartPair& part, std::vector<PartPair>& leaves)
{
    if (PairMemory(part.size1, part.size2) <= m_target || part.level >= kMaxLevels) {
        leaves.push_back(part);
        return true;
    }
    m_bytesToSplit += part.size1.bytes + part.size2.bytes;
    std::vector<PartPair> children;
    if (!SplitBoth(part, BucketCount(part.size1, part.size2, m_target), part.level, children))
        return false;
    m_files.Remove(part.path1, true);
    m_files.Remove(part.path2, true);
    for (PartPair& child : children) {
        // All of the rows in one bucket again: equal rows, which no hash parts.
        if (child.size1.lines == part.size1.lines && child.size2.lines == part.size2.lines)
            child.level = kMaxLevels;
        if (!Refine(child, leaves))
            return false;
    }
    return true;
}

// Whether the pair is compared whole: no budget, a budget it fits, or a file
// that cannot be looked at, which CompareFiles reports.
bool SplitRun::FitsWhole(PartPair& whole) const
{
    if (m_split.memoryBudget == 0 || !FileSize(m_file1, whole.size1.bytes) || !FileSize(m_file2, whole.size2.bytes))
        return true;
    whole.size1.lines = m_split.lines1 ? m_split.lines1 : EstimateLines(m_file1, whole.size1.bytes);
    whole.size2.lines = m_split.lines2 ? m_split.lines2 : EstimateLines(m_file2, whole.size2.bytes);
    return PairMemory(whole.size1, whole.size2) <= m_split.memoryBudget;
}

CompareOutcome SplitRun::Run(SplitFigures& figures)
{
    const Clock::time_point start = Clock::now();
    PartPair whole;
    whole.path1 = m_split.bucketBase1.empty() ? m_file1 : m_split.bucketBase1;
    whole.path2 = m_split.bucketBase2.empty() ? m_file2 : m_split.bucketBase2;
    if (whole.path1 == whole.path2) {
        whole.path1 += ".1";
        whole.path2 += ".2";
    }
    const std::size_t dumped = std::max(m_split.dumpedBuckets1.size(), m_split.dumpedBuckets2.size());
    if (dumped == 0 && FitsWhole(whole)) {
        const CompareOutcome outcome = Whole();
        figures.compareSeconds = Seconds(Clock::now() - start);
        return outcome;
    }
    if (dumped != 0 && !m_split.dumpedBuckets1.empty() && !m_split.dumpedBuckets2.empty() &&
        m_split.dumpedBuckets1.size() != m_split.dumpedBuckets2.size()) {
        CompareOutcome unequal;
        unequal.status = CompareStatus::CannotRead;
        unequal.message = "The files " + m_file1 + " and " + m_file2 + " were split into unequal numbers of parts.";
        return unequal;
    }
    try {
        // As many pairs at once as the budget holds, up to kPairsPerBudget.
        m_target = m_split.memoryBudget /
                   std::clamp<std::uint64_t>(m_split.memoryBudget / kSmallestPair, 1, kPairsPerBudget);
        // A dump split while it was written is not read again here.
        if (dumped != 0) {
            whole.size1 = whole.size2 = BucketSize();
            if (m_split.dumpedBuckets1.empty())
                FileSize(m_file1, whole.size1.bytes);
            if (m_split.dumpedBuckets2.empty())
                FileSize(m_file2, whole.size2.bytes);
        }
        m_bytesToSplit = whole.size1.bytes + whole.size2.bytes;
        std::vector<PartPair> buckets;
        std::vector<PartPair> leaves;
        bool split = Continue(SplitPhase::Splitting, 0, m_bytesToSplit) &&
                     SplitBoth(whole, dumped != 0 ? dumped : BucketCount(whole.size1, whole.size2, m_target), 0,
                               buckets);
        for (std::size_t b = 0; split && b < buckets.size(); ++b)
            split = Refine(buckets[b], leaves);
        const Clock::time_point splitEnd = Clock::now();
        figures.splitSeconds = Seconds(splitEnd - start);
        if (!split)
            return Stopped();

        CompareOptions options = m_options;
        // The newline of file 1's rows: its dump's, or, split while it was
        // written, that of a bucket with rows.
        std::string file1 = m_file1;
        if (!m_split.dumpedBuckets1.empty()) {
            const auto rows = std::find_if(leaves.begin(), leaves.end(),
                                           [](const PartPair& leaf) { return leaf.size1.bytes != 0; });
            if (rows != leaves.end())
                file1 = rows->path1;
        }
        options.reportNewline = ReportNewline(FileStart(file1, 1024));
        options.stop = &m_stop;
        std::vector<ReportPair> pairs;
        pairs.reserve(leaves.size());
        for (const PartPair& leaf : leaves) {
            pairs.push_back({leaf.path1, leaf.path2, BucketReportName(leaf.path1), PairMemory(leaf.size1, leaf.size2),
                             leaf.size1.lines + leaf.size2.lines == 0});
        }
        figures.buckets = leaves.size();
        PairReports reports(pairs, options, m_file1, m_file2, m_files, m_sink);
        const CompareOutcome outcome = reports.Run(
            m_split.memoryBudget, m_threads, m_stop,
            [this](std::uint64_t done, std::uint64_t total) { return Continue(SplitPhase::Comparing, done, total); });
        figures.compareSeconds = Seconds(Clock::now() - splitEnd);
        figures.writeSeconds = reports.WriteSeconds();
        if (outcome.status == CompareStatus::Compared)
            Continue(SplitPhase::Comparing, pairs.size(), pairs.size(), true);
        return outcome;
    } catch (const std::bad_alloc&) {
        Fail(CompareStatus::OutOfMemory, "Not enough memory to compare the files " + m_file1 + " and " + m_file2 + ".");
        return m_failure;
    }
}
