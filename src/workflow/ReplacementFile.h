#pragma once
// A file written under a temporary name beside its final name and renamed over
// it only when the writer says the content is whole. Until then a reader of the
// final name sees the previous file, never a half-written one; a replacement
// that is dropped (destroyed uncommitted) takes its temporary file with it.
#include <string>

#include "common/OutputFile.h"

class ReplacementFile {
public:
    // Creates the temporary file. A failure raises FileError naming the final path.
    ReplacementFile(const std::string& finalPath, OutputFile::Mode mode);
    ~ReplacementFile();  // removes the temporary file unless committed
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    OutputFile& File() { return m_file; }
    const std::string& FinalPath() const { return m_finalPath; }
    const std::string& TemporaryPath() const { return m_temporaryPath; }

    // Closes the file, waits until it is on the disk and renames it to the
    // final path. Throws FileError naming the final path; the final path then
    // stays as it was and the temporary file is gone.
    void Commit();
    // Closes and removes the temporary file; the final path stays as it was.
    void Drop() noexcept;

private:
    std::string m_finalPath;
    std::string m_temporaryPath;
    OutputFile m_file;
    bool m_pending = false;
};
