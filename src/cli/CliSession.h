#pragma once
// What every subcommand shares: its options, where its output and errors go,
// the settings store, and opening data sources with the terminal's login.
#include <memory>
#include <string>

#include "cli/CliArguments.h"
#include "cli/TerminalPrompt.h"

class CDatabase;
class CompareSettings;
class SettingsValues;

// Exit statuses.
inline constexpr int kExitEqual = 0;      // no difference, every statement affected one row
inline constexpr int kExitDifferent = 1;  // differences, or statements that failed
inline constexpr int kExitError = 2;      // nothing (or not everything) could be done

class CliSession {
public:
    explicit CliSession(CliArguments arguments);
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    const CliArguments& Arguments() const { return m_arguments; }
    bool Quiet() const { return m_arguments.Has("--quiet"); }

    // One line on standard error, "tolvane-cli: " first; line breaks of the
    // text (a driver's message) become "; ".
    void Error(const std::string& text) const;
    // A line of the result on standard output (also with --quiet).
    void Result(const std::string& text) const;
    // A line of information on standard output, silenced by --quiet.
    void Info(const std::string& text) const;

    // Connects; false after an error line naming the data source.
    bool Open(CDatabase& database, const std::string& dataSource);

    // The line markers and comparison options of the settings store.
    void LoadCompareSettings(CompareSettings& settings);

private:
    CliArguments m_arguments;
    TerminalPrompt m_prompt;
    std::unique_ptr<SettingsValues> m_store;
};

// A text on one line: runs of line breaks become "; ", trailing ones go.
std::string OneLine(const std::string& text);
