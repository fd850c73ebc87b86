#include "datasource/EmbeddedSqlite.h"

#include <sqlite3.h>

#include <mutex>

namespace {

void Tune()
{
    // The driver links the same shared library (one soname, one copy in the
    // process), so these settings are the driver's too. Each refuses
    // (SQLITE_MISUSE) once the library has started; nothing to do then.
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    sqlite3_config(SQLITE_CONFIG_MULTITHREAD);  // no per-connection locks
}

} // namespace

void TuneEmbeddedSqlite()
{
    static std::once_flag once;
    std::call_once(once, Tune);
}
