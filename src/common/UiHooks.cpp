#include "common/UiHooks.h"

#include <chrono>
#include <cstdio>
#include <thread>
#include <utility>

namespace {

// The hooks are the process-wide bindings of the single user-interface thread:
// the thread that installed them. Work on other threads (a table dumped beside
// another) goes through the same code, and there the pump and the wait cursor
// do nothing.
struct Hooks {
    std::thread::id uiThread;
    std::function<void()> pump;
    int pumpIntervalMs = 5;
    std::chrono::steady_clock::time_point lastPump{};
    std::function<void()> waitBegin;
    std::function<void()> waitEnd;
    int waitDepth = 0;
};

Hooks& hooks()
{
    static Hooks h;
    return h;
}

bool OnUiThread(const Hooks& h)
{
    return h.uiThread == std::this_thread::get_id();
}

} // namespace

void PumpWaitingMessages()
{
    Hooks& h = hooks();
    if (!h.pump || !OnUiThread(h))
        return;
    h.lastPump = std::chrono::steady_clock::now();
    h.pump();
}

void PumpWaitingMessagesIfDue()
{
    Hooks& h = hooks();
    if (!h.pump || !OnUiThread(h))
        return;
    if (h.pumpIntervalMs > 0 &&
        std::chrono::steady_clock::now() - h.lastPump < std::chrono::milliseconds(h.pumpIntervalMs))
        return;
    PumpWaitingMessages();
}

void SetMessagePump(std::function<void()> pump)
{
    if (pump)
        hooks().uiThread = std::this_thread::get_id();
    hooks().pump = std::move(pump);
    hooks().lastPump = {};
}

void SetPumpInterval(int milliseconds)
{
    hooks().pumpIntervalMs = milliseconds < 0 ? 0 : milliseconds;
}

void SetWaitCursorHooks(std::function<void()> begin, std::function<void()> end)
{
    if (begin || end)
        hooks().uiThread = std::this_thread::get_id();
    hooks().waitBegin = std::move(begin);
    hooks().waitEnd = std::move(end);
}

WaitCursor::WaitCursor() : m_counted(OnUiThread(hooks()))
{
    Hooks& h = hooks();
    if (m_counted && h.waitDepth++ == 0 && h.waitBegin)
        h.waitBegin();
}

WaitCursor::~WaitCursor()
{
    Hooks& h = hooks();
    if (m_counted && --h.waitDepth == 0 && h.waitEnd)
        h.waitEnd();
}
