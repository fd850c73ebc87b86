#pragma once
// The error of every failing ODBC operation, with what the driver said kept as
// data: the return code, the first diagnostic record's SQLSTATE, native error
// and origin (its bracketed "[vendor][component]" tags), and the messages of all
// records (without their origin tags, each followed by a line break).
#include <cstdint>
#include <stdexcept>
#include <string>

class DatabaseError : public std::runtime_error {
public:
    struct Diagnostic {
        std::string state;        // SQLSTATE of the first record; empty without records
        std::int32_t native = 0;  // its native error code
        std::string origin;       // its origin tags
    };

    DatabaseError(int returnCode, std::string message, Diagnostic first);

    int ReturnCode() const { return m_returnCode; }
    const std::string& state() const { return m_first.state; }
    std::int32_t native() const { return m_first.native; }
    const std::string& origin() const { return m_first.origin; }
    const std::string& Message() const { return m_message; }  // may be empty

    // "State:" + SQLSTATE + ",Native:" + number + ",Origin:" + origin; empty
    // when the driver gave no diagnostic record.
    std::string StateText() const;
    // The message followed directly by the state text.
    std::string FullText() const { return m_message + StateText(); }

    // The same error with `text` (a sentence naming what failed, ending in a
    // line break) in front of the driver's message.
    DatabaseError WithContext(const std::string& text) const;

private:
    int m_returnCode;
    std::string m_message;
    Diagnostic m_first;
};

// A column index outside the result: a fault of the caller, not of the driver.
class FieldNotFoundError : public DatabaseError {
public:
    explicit FieldNotFoundError(int index);
};

// A plain text error of the data layer (for instance a driver without SQLTables).
class PlainTextError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
