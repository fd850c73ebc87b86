#include "textcompare/JobThreads.h"

#include <utility>

void JobThreads::Start(std::function<void()> job)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    Job& entry = m_jobs.emplace_back();
    try {
        entry.thread = std::thread([this, &entry, job = std::move(job)] {
            job();
            const std::lock_guard<std::mutex> ended(m_mutex);
            entry.ended = true;
            m_endSeen = false;
            m_ended.notify_all();
        });
    } catch (...) {
        m_jobs.pop_back();
        throw;
    }
}

std::size_t JobThreads::Running()
{
    std::list<Job> ended;
    std::size_t running = 0;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_jobs.begin(); it != m_jobs.end();) {
            const auto next = std::next(it);
            if (it->ended)
                ended.splice(ended.end(), m_jobs, it);
            else
                ++running;
            it = next;
        }
    }
    for (Job& job : ended)
        job.thread.join();  // it has only its return left
    return running;
}

void JobThreads::WaitForEnd(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_ended.wait_for(lock, timeout, [this] { return !m_endSeen; });
    m_endSeen = true;
}

void JobThreads::JoinAll()
{
    std::list<Job> jobs;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        jobs.swap(m_jobs);
    }
    for (Job& job : jobs) {
        if (job.thread.joinable())
            job.thread.join();
    }
}

