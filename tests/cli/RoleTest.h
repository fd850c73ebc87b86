#pragma once
// A command-line test on one DBMS: the connection strings of its three roles
// (old, new and the merge target) and the names of its tables. Tests of this
// program run at the same time on the servers: each names its tables with a
// prefix of its own.
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "TestEnv.h"

namespace clitest {

class RoleTest : public ::testing::TestWithParam<testenv::Dbms> {
protected:
    explicit RoleTest(std::string tablePrefix) : prefix(std::move(tablePrefix)) {}

    void SetUp() override
    {
        REQUIRE_TEST_DATA_SOURCES();
        old = testenv::RoleConnectionString(GetParam(), "old", work.path());
        neu = testenv::RoleConnectionString(GetParam(), "new", work.path());
        merge = testenv::RoleConnectionString(GetParam(), "merge", work.path());
    }

    std::string Name(const std::string& table) const { return prefix + table; }
    std::string Quoted(const std::string& table) const { return testenv::QuotedTableName(GetParam(), Name(table)); }

    testenv::TempDir work;
    std::string prefix;
    std::string old;
    std::string neu;
    std::string merge;
};

} // namespace clitest
