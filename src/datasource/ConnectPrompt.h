#pragma once
// The driver manager on Linux has no prompts of its own, so the connection asks
// the user through this interface: the application shows dialogs, tests fake it.
#include <string>

class ConnectPrompt {
public:
    virtual ~ConnectPrompt() = default;

    // Lets the user pick a data source. Returns false when the user cancels.
    virtual bool ChooseDataSource(std::string& dataSourceName) = 0;

    // The named data source rejected the connection for its credentials: asks
    // for a user name and a password (`reason` is the driver's message).
    // Returns false when the user cancels.
    virtual bool Login(const std::string& dataSourceName, const std::string& reason, std::string& user,
                       std::string& password) = 0;
};
