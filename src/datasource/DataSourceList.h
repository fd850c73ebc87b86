#pragma once
// The data sources the driver manager knows (SQLDataSources), user ones first.
#include <string>
#include <vector>

struct DataSourceEntry {
    std::string name;
    std::string description;  // the driver's description
    bool system = false;
};

std::vector<DataSourceEntry> ListDataSources();
