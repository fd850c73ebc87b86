#pragma once
// Reads a file line by line in binary mode: a line ends at a line feed, which
// is not part of it; a carriage return stays in the line. A last line without a
// line feed is still a line. Lines have no length limit.
#include <cstddef>
#include <string>
#include <vector>

class PhysicalLineReader {
public:
    enum class Result { Line, End, Error };

    PhysicalLineReader() = default;
    ~PhysicalLineReader();
    PhysicalLineReader(const PhysicalLineReader&) = delete;
    PhysicalLineReader& operator=(const PhysicalLineReader&) = delete;

    // Opens the file for reading; false when it cannot be opened (empty path too).
    bool Open(const std::string& path);
    // The next line into `line` (replacing its content), the end, or a read error.
    Result Next(std::string& line);

private:
    bool Fill();  // false on a read error; sets m_atEnd at the end of the file

    int m_fd = -1;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    bool m_atEnd = false;
};
