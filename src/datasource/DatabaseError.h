#pragma once
// The error of every failing ODBC operation: the driver's diagnostic messages
// (without their bracketed origin tags, each followed by a line break) and the
// state text "State:" + SQLSTATE + ",Native:" + number + ",Origin:" + origin.
#include <stdexcept>
#include <string>

class DatabaseError : public std::runtime_error {
public:
    DatabaseError(int returnCode, std::string message, std::string state, std::string sqlState = {});

    int ReturnCode() const { return m_returnCode; }
    const std::string& Message() const { return m_message; }     // may be empty
    const std::string& StateText() const { return m_state; }     // "State:...,Native:...,Origin:..."
    const std::string& SqlState() const { return m_sqlState; }   // first record's SQLSTATE

    // The message followed directly by the state text ("%s%s"); the state text
    // alone when the message is empty.
    std::string FullText() const { return m_message + m_state; }

    // The layer's codes for failures that have no ODBC diagnostics.
    static constexpr int kFieldNotFound = -1000;

private:
    int m_returnCode;
    std::string m_message;
    std::string m_state;
    std::string m_sqlState;
};

// A plain text error of the data layer (for instance a driver without SQLTables).
class PlainTextError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
