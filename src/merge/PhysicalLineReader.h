#pragma once
// Reads a file line by line in binary mode: a line ends at a line feed, which
// is not part of it; a carriage return stays in the line, and so does any other
// byte, NUL included. A last line without a line feed is still a line. A line
// is never longer than the limit the caller sets: reading stops there before
// it takes more memory.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class PhysicalLineReader {
public:
    enum class Result { Line, End, Error, TooLong };

    PhysicalLineReader() = default;
    ~PhysicalLineReader();
    PhysicalLineReader(const PhysicalLineReader&) = delete;
    PhysicalLineReader& operator=(const PhysicalLineReader&) = delete;

    // Opens the file for reading; false when it cannot be opened (empty path
    // too), with errno telling why.
    bool Open(const std::string& path);
    // The size of the open file in bytes.
    std::uint64_t Size() const { return m_size; }
    // The longest line Next hands out; a longer one gives TooLong.
    void SetMaxLine(std::size_t bytes) { m_maxLine = bytes; }
    // The next line into `line` (replacing its content), the end, a read error,
    // or a line over the limit.
    Result Next(std::string& line);
    // Whether the line Next gave last ended with a line feed; only the last
    // line of a file can lack one.
    bool LineEnded() const { return m_lineEnded; }

private:
    bool Fill();  // false on a read error; sets m_atEnd at the end of the file

    int m_fd = -1;
    std::uint64_t m_size = 0;
    std::size_t m_maxLine = static_cast<std::size_t>(-1);
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    bool m_atEnd = false;
    bool m_lineEnded = false;
};
