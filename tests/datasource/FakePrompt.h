#pragma once
// A scripted stand-in for the user at the connection prompts.
#include <deque>
#include <string>
#include <utility>

#include "datasource/ConnectPrompt.h"

class FakePrompt : public ConnectPrompt {
public:
    // Answers to ChooseDataSource: a name, or nullopt-like empty deque for cancel.
    std::deque<std::string> choices;
    bool cancelChoose = false;
    // Answers to Login: (user, password) pairs; when none is left the login is cancelled.
    std::deque<std::pair<std::string, std::string>> logins;

    int chooseCalls = 0;
    int loginCalls = 0;
    std::string lastLoginDataSource;
    std::string lastLoginReason;

    bool ChooseDataSource(std::string& name) override
    {
        ++chooseCalls;
        if (cancelChoose || choices.empty())
            return false;
        name = choices.front();
        choices.pop_front();
        return true;
    }

    bool Login(const std::string& dataSource, const std::string& reason, std::string& user,
               std::string& password) override
    {
        ++loginCalls;
        lastLoginDataSource = dataSource;
        lastLoginReason = reason;
        if (logins.empty())
            return false;
        user = logins.front().first;
        password = logins.front().second;
        logins.pop_front();
        return true;
    }
};
