#pragma once
// The connection prompts as the program's own dialogs: the data source chooser
// for a connection without a name and the login dialog for rejected credentials.
#include "datasource/ConnectPrompt.h"

class DialogResources;

class DialogConnectPrompt : public ConnectPrompt {
public:
    explicit DialogConnectPrompt(const DialogResources& resources) : m_resources(resources) {}

    bool ChooseDataSource(std::string& dataSourceName) override;
    bool Login(const std::string& dataSourceName, const std::string& reason, std::string& user,
               std::string& password) override;

private:
    const DialogResources& m_resources;
};
