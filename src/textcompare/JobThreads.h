#pragma once
// Jobs on threads of their own, watched from the calling thread: it starts a
// job when it has the room, and waits for one to end no longer than it can
// afford to leave its user without news. Every thread is joined by the time
// the object goes, so none outlives the work that started it.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <list>
#include <mutex>
#include <thread>

class JobThreads {
public:
    JobThreads() = default;
    ~JobThreads() { JoinAll(); }
    JobThreads(const JobThreads&) = delete;
    JobThreads& operator=(const JobThreads&) = delete;

    // Runs `job` on a new thread; the job must not throw. Throws
    // std::system_error when no thread can be started.
    void Start(std::function<void()> job);

    // The jobs still running; the threads of ended ones are joined.
    std::size_t Running();

    // Returns when a job ended since the last call, or after `timeout`.
    void WaitForEnd(std::chrono::milliseconds timeout);

    // Waits for every job to end.
    void JoinAll();

private:
    struct Job {
        std::thread thread;
        bool ended = false;
    };

    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_endSeen = true;  // whether the last end was taken by WaitForEnd
    std::list<Job> m_jobs;  // a list, so that a running job's entry never moves
};
