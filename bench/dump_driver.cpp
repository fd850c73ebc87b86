// Dumps one table through the program's own recordset:
//   dump_driver DSN TABLE OUTFILE [--one-row | --block | --through-driver]
// (one row per fetch or blocks of rows; the driver's choice without either; a
// SQLite table is read straight from its file unless --through-driver says
// to read it through the ODBC driver, or one of the fetch modes is given).
#include <cstdio>
#include <cstring>
#include <exception>

#include "common/OutputFile.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"

int main(int argc, char** argv)
{
    CRecordsetEx::FetchMode mode = CRecordsetEx::FetchMode::automatic;
    bool throughDriver = argc == 5;
    if (argc == 5 && std::strcmp(argv[4], "--one-row") == 0)
        mode = CRecordsetEx::FetchMode::oneRow;
    else if (argc == 5 && std::strcmp(argv[4], "--block") == 0)
        mode = CRecordsetEx::FetchMode::block;
    else if ((argc == 5 && std::strcmp(argv[4], "--through-driver") != 0) || (argc != 4 && argc != 5)) {
        std::fprintf(stderr, "usage: %s DSN TABLE OUTFILE [--one-row | --block | --through-driver]\n", argv[0]);
        return 2;
    }
    try {
        CDatabase db;
        if (!db.OpenDataSource(argv[1]))
            return 1;
        CRecordsetEx rs(db);
        rs.SetFetchMode(mode);
        rs.SetReadSqliteFile(!throughDriver);
        rs.OpenTable(argv[2]);
        OutputFile file(argv[3], OutputFile::Mode::Text);
        rs.WriteRows(file, ",");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
