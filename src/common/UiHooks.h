#pragma once
// The core never talks to the user directly. Where it needs the user interface
// (draining the message queue during long work, the wait cursor, an error box)
// it calls these hooks; the application binds them to Qt, tests bind them to fakes.
#include <functional>
#include <string>

// Drains the waiting window messages. Long work calls it once per unit of work;
// it forwards to the installed pump at most every few milliseconds, so that a
// million calls do not cost a million event-loop passes.
void PumpWaitingMessages();

// Installs the function that really drains the queue (none: pumping does nothing).
void SetMessagePump(std::function<void()> pump);

// Minimum time between two forwarded pumps, in milliseconds (0: forward every call).
void SetPumpInterval(int milliseconds);

// Shows an error to the user: the caption and the message text.
using ErrorReporter = std::function<void(const std::string& caption, const std::string& text)>;
void SetErrorReporter(ErrorReporter reporter);
void ReportError(const std::string& caption, const std::string& text);

// Debug output (stderr unless a sink is installed).
void SetDebugSink(std::function<void(const std::string&)> sink);
void DebugOutput(const std::string& text);

// Wait cursor: the hooks are called when the first WaitCursor of a nesting
// begins and when the last one ends.
void SetWaitCursorHooks(std::function<void()> begin, std::function<void()> end);

// Shows the wait cursor for its lifetime.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
