#include "cli/TerminalPrompt.h"

#include <termios.h>
#include <unistd.h>

#include <iostream>

namespace {

// Echo off for the lifetime of the object, restored also when reading fails.
class EchoOff {
public:
    EchoOff()
    {
        m_active = ::tcgetattr(STDIN_FILENO, &m_saved) == 0;
        if (!m_active)
            return;
        termios quiet = m_saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    ~EchoOff()
    {
        if (m_active)
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_saved);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    termios m_saved{};
    bool m_active = false;
};

} // namespace

bool TerminalPrompt::ChooseDataSource(std::string&)
{
    return false;
}

bool TerminalPrompt::Login(const std::string& dataSourceName, const std::string& reason, std::string& user,
                           std::string& password)
{
    if (!::isatty(STDIN_FILENO) || !::isatty(STDERR_FILENO)) {
        m_refusedReason = reason;
        return false;
    }
    std::cerr << "The data source " << dataSourceName << " asks for a login.\nUser name: " << std::flush;
    if (!std::getline(std::cin, user))
        return false;
    std::cerr << "Password: " << std::flush;
    bool read = false;
    {
        EchoOff echoOff;
        read = static_cast<bool>(std::getline(std::cin, password));
    }
    std::cerr << '\n';
    return read;
}
