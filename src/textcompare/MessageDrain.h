#pragma once
// The engine's drain points keep the user interface alive while a comparison
// runs. A loop with a drain point per line ticks a DrainTicker; the ticker
// drains the message queue at every 64th tick, so that a drain point costs an
// increment rather than a clock read (PumpWaitingMessagesIfDue then decides
// whether enough time has passed to pump). 64 lines take microseconds.
#include "common/UiHooks.h"

class DrainTicker {
public:
    void Tick()
    {
        if (++m_ticks % kTicksPerDrain == 0)
            PumpWaitingMessagesIfDue();
    }

private:
    static constexpr unsigned kTicksPerDrain = 64;
    unsigned m_ticks = 0;
};

// A drain point outside the per-line loops (between the steps of a comparison).
inline void DrainMessages()
{
    PumpWaitingMessagesIfDue();
}
