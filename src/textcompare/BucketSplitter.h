#pragma once
// Streams one dump file into bucket files: each row, its bytes and terminator
// as they are, goes to the bucket that a chooser names, rows of a bucket in
// the order of the file. Memory stays bounded whatever the file's size: a read
// buffer (larger only for a row longer than it) and a write buffer per bucket.
// The rows are those of the comparison's line store (a line feed inside a
// quoted field does not end a row). A last row without a terminator stays
// without one: it is the last row its bucket gets, so nothing follows it there.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct BucketSize {
    std::uint64_t bytes = 0;
    std::uint64_t lines = 0;
};

struct BucketSplit {
    enum class Status { Split, CannotRead, CannotWrite, OutOfMemory, Cancelled };
    Status status = Status::Split;
    std::string error;                // the system's reason; for CannotWrite the file's name, too
    std::vector<BucketSize> buckets;  // what each bucket received
};

// The name of bucket `bucket` of the first split of a dump: "<dump>.part3".
// A bucket split again adds its own number ("<dump>.part3.7").
inline std::string BucketFileName(const std::string& dump, std::size_t bucket)
{
    return dump + ".part" + std::to_string(bucket);
}

// The report of a bucket pair, beside the pair's first bucket.
inline std::string BucketReportName(const std::string& bucket)
{
    return bucket + ".report";
}

// Whether a file named `name` is one that splitting the dump named
// `dumpName` makes (a bucket or a report, of any split); never another
// table's dump, whose name ends in ".csv".
bool IsBucketFileOf(std::string_view name, std::string_view dumpName);

// The bucket of a row (its bytes with the terminator), below the bucket count.
using BucketChooser = std::function<std::size_t(std::string_view row)>;

class OutputFile;

// Bucket files being written: each created (or emptied) at once, its rows
// appended with their terminators, its bytes and rows counted.
class BucketFiles {
public:
    // Throws FileError naming the file that cannot be created.
    explicit BucketFiles(const std::vector<std::string>& paths);
    ~BucketFiles();
    BucketFiles(const BucketFiles&) = delete;
    BucketFiles& operator=(const BucketFiles&) = delete;

    std::size_t Count() const { return m_sizes.size(); }
    // Appends a row, terminator included, to bucket `bucket` (the last one
    // when it is past it). Throws FileError.
    void Write(std::size_t bucket, std::string_view row);
    // Flushes and closes every file. Throws FileError.
    void Close();
    const std::vector<BucketSize>& Sizes() const { return m_sizes; }

private:
    std::vector<std::unique_ptr<OutputFile>> m_files;
    std::vector<BucketSize> m_sizes;
};

// Hands every row of `source` (bytes with the terminator) to `row`, looking
// at `stop` after each read and adding the bytes read to `bytesRead`.
// Split when all were handed out; otherwise the status and the system's
// reason. Exceptions of `row` pass through.
BucketSplit::Status ForEachRowOf(const std::string& source, const std::function<void(std::string_view row)>& row,
                                 const std::atomic<bool>& stop, std::atomic<std::uint64_t>& bytesRead,
                                 std::string& error, std::size_t readBytes = std::size_t(1) << 20);

// Writes every row of `source` to bucketPaths[choose(row)], creating or
// emptying each bucket file. Looks at `stop` after each read and adds the
// bytes read to `bytesRead` as it goes. The bucket files stay, whole or in
// part, whatever the outcome: removing them is the caller's. `readBytes` is
// the size of the read buffer.
BucketSplit SplitIntoBuckets(const std::string& source, const std::vector<std::string>& bucketPaths,
                             const BucketChooser& choose, const std::atomic<bool>& stop,
                             std::atomic<std::uint64_t>& bytesRead, std::size_t readBytes = std::size_t(1) << 20);
