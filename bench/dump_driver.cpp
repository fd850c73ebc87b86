// Dumps one table through the program's own recordset:
//   dump_driver DSN TABLE OUTFILE [--one-row | --block]
// (one row per fetch or blocks of rows; the driver's choice without either).
#include <cstdio>
#include <cstring>
#include <exception>

#include "common/OutputFile.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"

int main(int argc, char** argv)
{
    CRecordsetEx::FetchMode mode = CRecordsetEx::FetchMode::automatic;
    if (argc == 5 && std::strcmp(argv[4], "--one-row") == 0)
        mode = CRecordsetEx::FetchMode::oneRow;
    else if (argc == 5 && std::strcmp(argv[4], "--block") == 0)
        mode = CRecordsetEx::FetchMode::block;
    else if (argc != 4) {
        std::fprintf(stderr, "usage: %s DSN TABLE OUTFILE [--one-row | --block]\n", argv[0]);
        return 2;
    }
    try {
        CDatabase db;
        if (!db.OpenDataSource(argv[1]))
            return 1;
        CRecordsetEx rs(db);
        rs.SetFetchMode(mode);
        rs.OpenTable(argv[2]);
        OutputFile file(argv[3], OutputFile::Mode::Text);
        rs.WriteRows(file, ",");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
