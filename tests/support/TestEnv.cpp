#include "TestEnv.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace testenv {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string DbmsLabel(Dbms dbms)
{
    return dbms == Dbms::SQLite ? "SQLite" : dbms == Dbms::PostgreSQL ? "PostgreSQL" : "MariaDB";
}

void PrintTo(Dbms dbms, std::ostream* out)
{
    *out << DbmsLabel(dbms);
}

std::string RoleConnectionString(Dbms dbms, const std::string& role, const std::filesystem::path& folder)
{
    switch (dbms) {
    case Dbms::SQLite:
        return "Driver=SQLite3;Database=" + (folder / (role + ".db")).string() +
               ";StepAPI=1;Timeout=10000;FKSupport=1";
    case Dbms::PostgreSQL:
        return "Driver=PostgreSQL Unicode;Servername=127.0.0.1;Port=" + Env("TOLVANE_PG_PORT") +
               ";Database=tolvane_cli_" + role + ";Username=tolvane;Password=tolvane;UseDeclareFetch=1";
    case Dbms::MariaDB:
        return MariaDbConnectionString("tolvane_cli_" + role);
    }
    return {};
}

std::string MariaDbConnectionString(const std::string& database)
{
    return "Driver=MariaDB;Server=127.0.0.1;Port=" + Env("TOLVANE_MARIA_PORT") +
           (database.empty() ? "" : ";Database=" + database) + ";User=tolvane;Password=tolvane;Option=2";
}

bool Available()
{
    const char* v = std::getenv("TOLVANE_TEST_SERVERS");
    return v && std::string(v) == "1";
}

std::filesystem::path Dir()
{
    const char* v = std::getenv("TOLVANE_TEST_DIR");
    return v ? std::filesystem::path(v) : std::filesystem::temp_directory_path();
}

std::filesystem::path SqliteFile(const std::string& role)
{
    return Dir() / "sqlite" / (role + ".db");
}

TempDir::TempDir()
{
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = std::filesystem::temp_directory_path() /
                         ("tolvane-t-" + std::to_string(rd()) + std::to_string(attempt));
        if (std::filesystem::create_directory(candidate)) {
            m_path = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> FolderEntries(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> TextLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> SortedTextLines(const std::string& text)
{
    std::vector<std::string> lines = TextLines(text);
    std::sort(lines.begin(), lines.end());
    return lines;
}

namespace {

std::size_t EntriesOf(const std::filesystem::path& folder)
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

} // namespace

std::size_t ThreadCount()
{
    return EntriesOf("/proc/self/task");
}

std::size_t ThreadCountSettledAt(std::size_t expected)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::size_t count = ThreadCount();
    while (count > expected && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        count = ThreadCount();
    }
    return count;
}

std::size_t OpenDescriptorCount()
{
    return EntriesOf("/proc/self/fd");
}

} // namespace testenv
