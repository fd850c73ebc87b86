#pragma once
// Logins for data sources that reject a connection: asked on the terminal
// (the password without echo); without a terminal the login is refused and
// the reason kept for the error message. Choosing a data source is never
// asked: the command line always names one.
#include <string>

#include "datasource/ConnectPrompt.h"

class TerminalPrompt : public ConnectPrompt {
public:
    bool ChooseDataSource(std::string& dataSourceName) override;
    bool Login(const std::string& dataSourceName, const std::string& reason, std::string& user,
               std::string& password) override;

    // The driver's reason of the last login refused for want of a terminal.
    const std::string& RefusedReason() const { return m_refusedReason; }

private:
    std::string m_refusedReason;
};
