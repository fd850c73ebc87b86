#include "textcompare/PartFiles.h"

#include <unistd.h>

PartFiles::~PartFiles()
{
    for (const std::string& path : m_reports)
        ::unlink(path.c_str());
    if (!m_keepBuckets) {
        for (const std::string& path : m_buckets)
            ::unlink(path.c_str());
    }
}

void PartFiles::Add(const std::string& path, Kind kind)
{
    (kind == Kind::Bucket ? m_buckets : m_reports).insert(path);
}

void PartFiles::Remove(const std::string& path, bool evenIfKept)
{
    if (m_reports.erase(path) > 0) {
        ::unlink(path.c_str());
        return;
    }
    if (m_keepBuckets && !evenIfKept)
        return;
    if (m_buckets.erase(path) > 0)
        ::unlink(path.c_str());
}
