#include "CliRunner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "TestEnv.h"

namespace clitest {

namespace {

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

CliResult RunCli(const std::vector<std::string>& args, const std::function<void(int pid)>& whileRunning,
                 std::uint64_t fileSizeLimit)
{
    // Files rather than pipes: a child that writes much never blocks on a reader.
    testenv::TempDir capture;
    const std::string outPath = capture.str() + "/out";
    const std::string errPath = capture.str() + "/err";
    std::vector<char*> argv;
    std::string program = TOLVANE_CLI;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(in, STDIN_FILENO);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        // The program gets what a shell would give it, none of this process's files.
        for (int fd = STDERR_FILENO + 1; fd < 1024; ++fd)
            ::close(fd);
        if (fileSizeLimit > 0) {
            // Ignored, the signal leaves the failed write to the program; the
            // setting survives exec.
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    CliResult result;
    if (pid < 0)
        return result;
    if (whileRunning)
        whileRunning(pid);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    if (WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    result.out = Slurp(outPath);
    result.err = Slurp(errPath);
    return result;
}

int Shell(const std::string& commandLine)
{
    const int status = std::system(commandLine.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int ShellOutput(const std::string& commandLine, std::string& out)
{
    testenv::TempDir capture;
    const std::string outPath = capture.str() + "/out";
    const int status = Shell(commandLine + " > '" + outPath + "'");
    out = Slurp(outPath);
    return status;
}

std::string ClientCommand(testenv::Dbms dbms, const std::filesystem::path& folder, const std::filesystem::path& script,
                          const std::string& mariadbInit)
{
    switch (dbms) {
    case testenv::Dbms::SQLite:
        return "sqlite3 -bail '" + (folder / "merge.db").string() + "' < '" + script.string() + "'";
    case testenv::Dbms::PostgreSQL:
        return "PGPASSWORD=tolvane '" + testenv::Env("TOLVANE_PG_BIN") +
               "/psql' -X -q -1 -v ON_ERROR_STOP=1 -h 127.0.0.1 -p " + testenv::Env("TOLVANE_PG_PORT") +
               " -U tolvane -d tolvane_cli_merge -f '" + script.string() + "'";
    case testenv::Dbms::MariaDB:
        break;
    }
    const std::string init = mariadbInit.empty() ? "" : " --init-command=\"" + mariadbInit + "\"";
    return "mariadb --no-defaults" + init + " -h 127.0.0.1 -P " + testenv::Env("TOLVANE_MARIA_PORT") +
           " -u tolvane -ptolvane tolvane_cli_merge < '" + script.string() + "'";
}

} // namespace clitest
