// Work that falls due at a given time, run by a bounded number of runner threads that
// the owner starts when asked to. A runner runs every item it finds due and ends when
// the queue is empty, so none lingers; at most `maxRunners` exist at once, however many
// items wait. The queue keeps no thread of its own: starting one is the owner's business.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <utility>

template <class Work>
class CDueWorkQueue {
public:
    using Clock = std::chrono::steady_clock;

    explicit CDueWorkQueue(std::size_t maxRunners) : m_maxRunners(maxRunners) {}
    CDueWorkQueue(const CDueWorkQueue&) = delete;
    CDueWorkQueue& operator=(const CDueWorkQueue&) = delete;

    // Queues `work` to run at `due` (items due at the same time in the order queued).
    // True when the caller is to start one more runner now; should that fail, it calls
    // RunnerNotStarted, and the work waits for the runner that a later Post starts.
    bool Post(Work work, Clock::time_point due)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        const auto item = m_items.emplace(due, std::move(work));
        if (item == m_items.begin()) m_changed.notify_all();  // due before what the runners wait for
        const std::size_t idle = m_runners - m_busy;  // runners that will take the next due item
        if (m_runners >= m_maxRunners || idle >= m_items.size()) return false;
        ++m_runners;
        return true;
    }

    void RunnerNotStarted()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        --m_runners;
    }

    // A runner's life: waits for the earliest item to fall due, runs it with `run(work&)`,
    // and so on until the queue is empty. `run` must not throw. The lock is not held
    // while an item runs nor while it is destroyed (an item may own what takes locks of
    // its own on the way out).
    template <class Run>
    void RunUntilEmpty(Run run)
    {
        static_assert(noexcept(run(std::declval<Work&>())), "a runner cannot stop for an exception");
        std::unique_lock<std::mutex> lock(m_lock);
        while (!m_items.empty()) {
            const auto first = m_items.begin();
            const Clock::time_point due = first->first;  // a copy: another runner may take the item meanwhile
            if (Clock::now() < due) {
                m_changed.wait_until(lock, due);
                continue;
            }
            {
                Work work = std::move(first->second);
                m_items.erase(first);
                ++m_busy;
                lock.unlock();
                run(work);
            }
            lock.lock();
            --m_busy;
        }
        --m_runners;
    }

    std::size_t Waiting()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_items.size();
    }

private:
    const std::size_t m_maxRunners;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::multimap<Clock::time_point, Work> m_items;
    std::size_t m_runners = 0;  // started and not yet ended
    std::size_t m_busy = 0;     // of those, running an item
};
