#pragma once
// The three drivers the compare run is tested on, with readable test names.
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "TestEnv.h"

namespace workflowtest {

struct Driver {
    const char* label;
    const char* dsn;
    const char* quote;  // the DBMS's identifier quote
};

inline void PrintTo(const Driver& driver, std::ostream* out)
{
    *out << driver.label;
}

inline auto AllDrivers()
{
    return ::testing::Values(Driver{"SQLite", testenv::kSqliteOld, "\""},
                             Driver{"PostgreSQL", testenv::kPostgres, "\""},
                             Driver{"MariaDB", testenv::kMariaDb, "`"});
}

inline std::string DriverName(const ::testing::TestParamInfo<Driver>& info)
{
    return info.param.label;
}

} // namespace workflowtest
