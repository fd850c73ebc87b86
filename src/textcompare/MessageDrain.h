#pragma once
// The engine's drain points keep the user interface alive while a comparison
// runs, and are where a comparison notices that its caller asked it to stop.
// A loop with a drain point per line ticks a DrainTicker; the ticker drains the
// message queue and looks at the stop flag at every 64th tick, so that a drain
// point costs an increment rather than a clock read (PumpWaitingMessagesIfDue
// then decides whether enough time has passed to pump). 64 lines take
// microseconds, so a stop is seen long before anyone could notice the wait.
#include <atomic>

#include "common/UiHooks.h"

// Thrown at a drain point once the stop flag is set: the comparison unwinds
// from wherever it is, and its entry turns this into a Cancelled status.
struct ComparisonStopped {};

// Whether the caller has asked to stop (no flag: never).
inline bool StopRequested(const std::atomic<bool>* stop)
{
    return stop && stop->load(std::memory_order_relaxed);
}

inline void ThrowIfStopped(const std::atomic<bool>* stop)
{
    if (StopRequested(stop))
        throw ComparisonStopped();
}

class DrainTicker {
public:
    // `stop` may be none; a set flag makes Tick throw ComparisonStopped.
    explicit DrainTicker(const std::atomic<bool>* stop) : m_stop(stop) {}

    void Tick()
    {
        if (++m_ticks % kTicksPerDrain == 0) {
            PumpWaitingMessagesIfDue();
            ThrowIfStopped(m_stop);
        }
    }

private:
    static constexpr unsigned kTicksPerDrain = 64;
    const std::atomic<bool>* m_stop;
    unsigned m_ticks = 0;
};

// A drain point outside the per-line loops (between the steps of a comparison).
inline void DrainMessages(const std::atomic<bool>* stop)
{
    PumpWaitingMessagesIfDue();
    ThrowIfStopped(stop);
}
