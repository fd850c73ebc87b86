#pragma once
// Opens a table for a test that reads a shared SQLite file straight from the
// file. Other test programs create tables in the same file at the same time:
// a schema that changed between the driver's look and the file's sends the
// dump to the driver, rightly; the table is then opened again, a few times.
#include <chrono>
#include <string>
#include <thread>

#include "datasource/CRecordsetEx.h"

inline void OpenTableAgainIfSentToTheDriver(CRecordsetEx& rs, const std::string& table, bool fromFile)
{
    rs.OpenTable(table);
    for (int attempt = 0; fromFile && !rs.ReadsSqliteFile() && attempt < 20; ++attempt) {
        rs.Close();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        rs.OpenTable(table);
    }
}
