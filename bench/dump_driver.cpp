// Dumps one table through the program's own recordset: dump_driver DSN TABLE OUTFILE
#include <cstdio>
#include <exception>

#include "common/OutputFile.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s DSN TABLE OUTFILE\n", argv[0]);
        return 2;
    }
    try {
        CDatabase db;
        if (!db.OpenDataSource(argv[1]))
            return 1;
        CRecordsetEx rs(db);
        rs.OpenTable(argv[2]);
        OutputFile file(argv[3], OutputFile::Mode::Text);
        rs.WriteRows(file, ",");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
