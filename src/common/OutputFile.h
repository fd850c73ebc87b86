#pragma once
// A file created anew for writing, owned for its lifetime. Text mode stores each
// "\n" as CR LF; untranslated mode stores the bytes as they are. Every failure
// raises FileError, whose text names the file.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

class FileError : public std::runtime_error {
public:
    FileError(const std::string& path, const std::string& action, int error);
    const std::string& path() const { return m_path; }
    int error() const { return m_error; }

private:
    std::string m_path;
    int m_error;
};

class OutputFile {
public:
    enum class Mode { Untranslated, Text };

    OutputFile() = default;
    OutputFile(const std::string& path, Mode mode) { Create(path, mode); }
    ~OutputFile();  // closes without throwing; call Close() to see write errors
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates or empties the file. Throws FileError.
    void Create(const std::string& path, Mode mode);
    // Appends bytes (buffered). Throws FileError.
    void Write(const char* data, std::size_t size);
    void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
    // Appends bytes as they are, also in text mode (a line break inside a value
    // is data, not a line end). Throws FileError.
    void WriteUntranslated(const char* data, std::size_t size);
    void WriteUntranslated(std::string_view bytes) { WriteUntranslated(bytes.data(), bytes.size()); }
    // Writes what is buffered to the file. Throws FileError.
    void Flush();
    // Flushes and closes; harmless when closed. Throws FileError.
    void Close();

    // Bytes written since the file was created, buffered ones included.
    std::uint64_t Size() const { return m_size; }
    // Flushes, then cuts the file back to its first `size` bytes (at most Size());
    // writing goes on from there. Takes back what a failed step wrote. Throws FileError.
    void Truncate(std::uint64_t size);

    bool IsOpen() const { return m_fd >= 0; }
    const std::string& Path() const { return m_path; }

private:
    void WriteThrough(const char* data, std::size_t size);
    void Append(const char* data, std::size_t size);

    int m_fd = -1;
    Mode m_mode = Mode::Untranslated;
    std::string m_path;
    std::string m_buffer;
    std::uint64_t m_size = 0;
};
