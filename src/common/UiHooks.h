#pragma once
// The core never talks to the user directly. Where it needs the user interface
// (draining the message queue during long work, the wait cursor, an error box)
// it calls these hooks; the application binds them to Qt, tests bind them to fakes.
#include <functional>
#include <string>

// Drains the waiting window messages through the installed pump.
void PumpWaitingMessages();

// The same from a loop that calls it once per small unit of work (a line): it
// pumps only when a few milliseconds have passed since the last pump, so that
// a million calls do not cost a million event-loop passes.
void PumpWaitingMessagesIfDue();

// Installs the function that really drains the queue (none: pumping does nothing).
void SetMessagePump(std::function<void()> pump);

// Minimum time between two pumps of PumpWaitingMessagesIfDue, in milliseconds
// (0: pump on every call).
void SetPumpInterval(int milliseconds);

// Wait cursor: the hooks are called when the first WaitCursor of a nesting
// begins and when the last one ends. The pump and the wait cursor belong to the
// thread that installed their hooks; on any other thread they do nothing.
void SetWaitCursorHooks(std::function<void()> begin, std::function<void()> end);

// Shows the wait cursor for its lifetime.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_counted;
};
