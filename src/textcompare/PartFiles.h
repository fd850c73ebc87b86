#pragma once
// The files a split comparison leaves beside the dumps: the bucket files of
// both dumps and the report of each bucket pair. They go when the comparison
// ends, however it ends; the buckets stay when the caller asks to keep them.
#include <set>
#include <string>

class PartFiles {
public:
    enum class Kind { Bucket, Report };

    explicit PartFiles(bool keepBuckets) : m_keepBuckets(keepBuckets) {}
    ~PartFiles();
    PartFiles(const PartFiles&) = delete;
    PartFiles& operator=(const PartFiles&) = delete;

    // Takes a file into care before it is created.
    void Add(const std::string& path, Kind kind);
    // Removes a file now (a bucket only when buckets are not kept, or when
    // `evenIfKept`: a bucket split again is only a step on the way).
    void Remove(const std::string& path, bool evenIfKept = false);

private:
    bool m_keepBuckets;
    std::set<std::string> m_buckets;
    std::set<std::string> m_reports;
};
