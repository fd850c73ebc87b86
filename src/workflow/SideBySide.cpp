#include "workflow/SideBySide.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include <pthread.h>
#include <signal.h>

namespace {

// Often enough for the window to repaint smoothly and to answer a click at
// once; rare enough that waiting costs nothing next to the dumps.
constexpr std::chrono::milliseconds kWaitingPeriod{10};

// Ctrl+C and its kind are for the calling thread, whose handlers expect them
// there; a task's blocking driver call is then never cut short by one. Held
// while the threads are started, which take the blocked set with them.
class SignalsBlocked {
public:
    SignalsBlocked()
    {
        sigset_t signals;
        sigemptyset(&signals);
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
            sigaddset(&signals, signal);
        pthread_sigmask(SIG_BLOCK, &signals, &m_previous);
    }
    ~SignalsBlocked() { pthread_sigmask(SIG_SETMASK, &m_previous, nullptr); }
    SignalsBlocked(const SignalsBlocked&) = delete;
    SignalsBlocked& operator=(const SignalsBlocked&) = delete;

private:
    sigset_t m_previous;
};

// What the tasks and the waiting thread share.
struct Rendezvous {
    std::mutex mutex;
    std::condition_variable finished;
    std::size_t running = 0;
};

// Joins every started thread when it goes, after telling the tasks to stop:
// an exception on the waiting side must neither leave a thread behind nor
// wait for a whole dump to end.
class ThreadsJoined {
public:
    ThreadsJoined(std::atomic<bool>& stop, std::size_t count) : m_stop(stop)
    {
        // Room for all of them first: a started thread must never be dropped unjoined.
        m_threads.reserve(count);
    }
    ~ThreadsJoined()
    {
        bool unfinished = false;
        for (const std::thread& thread : m_threads)
            unfinished = unfinished || thread.joinable();
        if (!unfinished)
            return;
        if (std::uncaught_exceptions() > 0)
            m_stop.store(true);
        for (std::thread& thread : m_threads)
            if (thread.joinable())
                thread.join();
    }
    ThreadsJoined(const ThreadsJoined&) = delete;
    ThreadsJoined& operator=(const ThreadsJoined&) = delete;

    void Add(std::thread thread) { m_threads.push_back(std::move(thread)); }
    void JoinAll()
    {
        for (std::thread& thread : m_threads)
            thread.join();
    }

private:
    std::atomic<bool>& m_stop;
    std::vector<std::thread> m_threads;
};

} // namespace

std::vector<std::exception_ptr> RunSideBySide(const std::vector<std::function<void()>>& tasks,
                                              std::atomic<bool>& stop, const std::function<void()>& whileWaiting)
{
    std::vector<std::exception_ptr> errors(tasks.size());
    Rendezvous rendezvous;
    ThreadsJoined threads(stop, tasks.size());
    std::optional<SignalsBlocked> blocked(std::in_place);
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        {
            std::lock_guard<std::mutex> lock(rendezvous.mutex);
            ++rendezvous.running;
        }
        try {
            threads.Add(std::thread([&, i] {
                try {
                    tasks[i]();
                } catch (...) {
                    errors[i] = std::current_exception();
                    stop.store(true);
                }
                std::lock_guard<std::mutex> lock(rendezvous.mutex);
                --rendezvous.running;
                rendezvous.finished.notify_one();
            }));
        } catch (...) {
            // No thread for this task: the ones already started stop and are joined.
            stop.store(true);
            throw;
        }
    }
    blocked.reset();
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(rendezvous.mutex);
            if (rendezvous.finished.wait_for(lock, kWaitingPeriod, [&] { return rendezvous.running == 0; }))
                break;
        }
        whileWaiting();
    }
    threads.JoinAll();
    return errors;
}
