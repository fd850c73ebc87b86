#include "textcompare/OutputFileSink.h"

#include <new>

bool OutputFileSink::Write(std::string_view bytes)
{
    if (!m_error.empty())
        return false;
    try {
        m_file.Write(bytes);
        return true;
    } catch (const FileError& e) {
        m_error = e.what();
        return false;
    } catch (const std::bad_alloc&) {
        m_error = "Not enough memory to write the file " + m_file.Path();
        return false;
    }
}
