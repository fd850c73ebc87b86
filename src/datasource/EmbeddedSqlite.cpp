#include "datasource/EmbeddedSqlite.h"

#include <dlfcn.h>
#include <mutex>

namespace {

// sqlite3_config's options, from sqlite3.h (the program does not build against SQLite).
constexpr int kConfigMultiThread = 2;  // SQLITE_CONFIG_MULTITHREAD: no per-connection locks
constexpr int kConfigMemStatus = 9;    // SQLITE_CONFIG_MEMSTATUS, followed by an int

using SqliteConfig = int (*)(int, ...);

void Tune()
{
    // Loaded here, before the driver, the library is the one the driver links
    // to: same soname, one copy in the process. It stays loaded for the life of
    // the process (no dlclose), so that the settings outlive every connection.
    void* library = ::dlopen("libsqlite3.so.0", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
        return;
    const auto config = reinterpret_cast<SqliteConfig>(::dlsym(library, "sqlite3_config"));
    if (config == nullptr)
        return;
    // Each refuses (SQLITE_MISUSE) once the library has started; nothing to do then.
    config(kConfigMemStatus, 0);
    config(kConfigMultiThread);
}

} // namespace

void TuneEmbeddedSqlite()
{
    static std::once_flag once;
    std::call_once(once, Tune);
}
