#pragma once
// Binds the core's user-interface hooks to Qt: the message pump to Qt's event
// processing, the wait cursor to the override cursor. Unbinds them again when
// the object goes.
class QtHooks {
public:
    QtHooks();
    ~QtHooks();
    QtHooks(const QtHooks&) = delete;
    QtHooks& operator=(const QtHooks&) = delete;
};

// Processes the events waiting in the queue; returns at once when the
// application is quitting, leaving the quit for the main loop.
void ProcessWaitingEvents();
