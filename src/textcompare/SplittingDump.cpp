#include "textcompare/SplittingDump.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <unistd.h>

#include "textcompare/SplitCompare.h"

namespace {

// Each bucket holds a write buffer of 64 KiB while the dump is written: at
// most a sixteenth of the budget goes to the buffers of both dumps.
constexpr std::uint64_t kBudgetPerBucket = std::uint64_t(2) << 20;
constexpr std::size_t kFewestBuckets = 8;
constexpr std::size_t kMostBuckets = 256;

} // namespace

std::size_t DumpBucketCount(std::uint64_t memoryBudget)
{
    return static_cast<std::size_t>(
        std::clamp<std::uint64_t>(memoryBudget / kBudgetPerBucket, kFewestBuckets, kMostBuckets));
}

SplittingDump::SplittingDump(std::string dumpPath, DumpSplitSettings settings)
    : m_path(std::move(dumpPath)), m_settings(std::move(settings)), m_whole(m_path, OutputFile::Mode::Untranslated),
      m_hasher(m_settings.rules, m_settings.keyColumns)
{
}

SplittingDump::~SplittingDump() = default;

void SplittingDump::WriteToBucket(std::string_view row)
{
    m_buckets->Write(BucketOf(m_hasher.KeyHash(row), m_buckets->Count()), row);
}

void SplittingDump::WriteRow(std::string_view row)
{
    if (!m_buckets) {
        m_whole.WriteUntranslated(row);
        m_bytes += row.size();
        ++m_lines;
        if (m_settings.memoryBudget != 0 && ComparisonMemory(m_bytes, m_lines, 0, 0) > m_settings.memoryBudget)
            StartBuckets();
        return;
    }
    if (m_pending.empty()) {
        // The usual row: the scanner ends it at its own line end.
        if (m_scanner.FindRowEnd(row) == row.size()) {
            m_scanner.Reset();
            WriteToBucket(row);
            return;
        }
        m_scanner.Reset();
    }
    m_pending.append(row);
    std::size_t begin = 0;
    for (;;) {
        const std::size_t found = m_scanner.FindRowEnd(m_pending.data() + m_scanned, m_pending.size() - m_scanned);
        if (found == RowScanner::npos)
            break;
        const std::size_t end = m_scanned + found;
        WriteToBucket(std::string_view(m_pending).substr(begin, end - begin));
        begin = m_scanned = end;
        m_scanner.Reset();
    }
    m_pending.erase(0, begin);
    m_scanned = m_pending.size();
}

// The dump alone is over the budget, so the pair will be split: the rows so
// far move into the buckets, and the dump file goes.
void SplittingDump::StartBuckets()
{
    m_whole.Close();
    std::vector<std::string> paths;
    for (std::size_t b = 0; b < DumpBucketCount(m_settings.memoryBudget); ++b)
        paths.push_back(BucketFileName(m_path, b));
    m_buckets = std::make_unique<BucketFiles>(paths);
    const std::atomic<bool> never{false};
    std::atomic<std::uint64_t> bytesRead{0};
    std::string error;
    errno = 0;
    const BucketSplit::Status status = ForEachRowOf(
        m_path, [&](std::string_view row) { WriteToBucket(row); }, m_settings.stop ? *m_settings.stop : never,
        bytesRead, error);
    if (status == BucketSplit::Status::Cancelled)
        throw DumpSplitStopped{};
    if (status != BucketSplit::Status::Split)
        throw FileError(m_path, "read", errno != 0 ? errno : EIO);
    if (::unlink(m_path.c_str()) != 0)
        throw FileError(m_path, "remove", errno);
}

void SplittingDump::Close()
{
    if (!m_buckets) {
        m_whole.Close();
        return;
    }
    if (!m_pending.empty()) {
        // A quote left open to the end: the rest is one last row.
        WriteToBucket(m_pending);
        m_pending.clear();
    }
    m_buckets->Close();
    m_sizes = m_buckets->Sizes();
}
