#include "cli/CliSession.h"

#include <iostream>

#include "app/SettingsStore.h"
#include "common/ResourceStrings.h"
#include "datasource/CDatabase.h"
#include "common/CompareSettings.h"
#include "workflow/ErrorText.h"

namespace {

constexpr int kCompanyNameText = 2139;
constexpr int kApplicationTitleText = 57344;

} // namespace

std::string OneLine(const std::string& text)
{
    std::string line;
    bool pendingBreak = false;
    for (char c : text) {
        if (c == '\n' || c == '\r') {
            pendingBreak = true;
            continue;
        }
        if (pendingBreak && !line.empty())
            line += "; ";
        pendingBreak = false;
        line += c;
    }
    return line;
}

CliSession::CliSession(CliArguments arguments) : m_arguments(std::move(arguments)) {}

CliSession::~CliSession() = default;

void CliSession::Error(const std::string& text) const
{
    std::cerr << "tolvane-cli: " << OneLine(text) << std::endl;
}

void CliSession::Result(const std::string& text) const
{
    std::cout << text << '\n';
}

void CliSession::Info(const std::string& text) const
{
    if (!Quiet())
        std::cout << text << '\n';
}

bool CliSession::Open(CDatabase& database, const std::string& dataSource)
{
    const std::string label = DataSourceLabel(dataSource);
    if (dataSource.empty()) {
        Error("a data source name is empty");
        return false;
    }
    database.SetPrompt(&m_prompt);
    try {
        if (database.OpenDataSource(dataSource, "ODBC;", true))
            return true;
        if (!m_prompt.RefusedReason().empty())
            Error("the data source " + label + " rejected the login (" + m_prompt.RefusedReason() +
                  ") and there is no terminal to ask for a user name and password");
        else
            Error("no login was given for the data source " + label);
    } catch (...) {
        Error(CurrentErrorText());
    }
    return false;
}

void CliSession::LoadCompareSettings(CompareSettings& settings)
{
    if (!m_store) {
        // The same store as the program's: the company name and title of its own string table.
        const std::string company = BuiltInString(kCompanyNameText).value_or("Orvenne Software Inc.");
        const std::string application = BuiltInString(kApplicationTitleText).value_or("Tolvane and Merge");
        m_store = std::make_unique<SettingsStore>(company, application);
    }
    settings.LoadSettings(*m_store);
}
