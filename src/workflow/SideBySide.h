#pragma once
// Runs the two sides of a table pair (opening, dumping) at the same time, each
// on a thread of its own, while the calling thread stays free for the user
// interface: it calls `whileWaiting` every few milliseconds until both are over.
//
// Nothing leaves this function running: when a task fails, `stop` is raised so
// that the other one gives up at its next row, and every thread is joined on
// every path, also when `whileWaiting` throws. A task's exception is handed
// back, not thrown, so that the caller decides which failure to report.
#include <atomic>
#include <exception>
#include <functional>
#include <vector>

std::vector<std::exception_ptr> RunSideBySide(const std::vector<std::function<void()>>& tasks,
                                              std::atomic<bool>& stop, const std::function<void()>& whileWaiting);
