// Work that falls due at a given time, run by a bounded number of runner threads that
// the owner starts when asked to. A runner runs every item it finds due and ends when
// the queue is empty, so none lingers; at most `maxRunners` exist at once, however many
// items wait. The queue keeps no thread of its own: starting one is the owner's business.
// An item's storage can be reserved before it is posted, so that posting cannot fail,
// and an item that runs can ask to run again later in the same storage.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <type_traits>
#include <utility>

template <class Work>
class CDueWorkQueue {
public:
    using Clock = std::chrono::steady_clock;

    using Items = std::multimap<Clock::time_point, Work>;
    using Reserved = typename Items::node_type;

    explicit CDueWorkQueue(std::size_t maxRunners) : m_maxRunners(maxRunners) {}
    CDueWorkQueue(const CDueWorkQueue&) = delete;
    CDueWorkQueue& operator=(const CDueWorkQueue&) = delete;

    // The storage of one item, made now (this may throw) and posted later (which cannot).
    static Reserved Reserve(Work work)
    {
        Items one;
        one.emplace(Clock::time_point{}, std::move(work));
        return one.extract(one.begin());
    }

    // Queues the work to run at `due` (items due at the same time in the order queued).
    // True when the caller is to start one more runner now; should that fail, it calls
    // RunnerNotStarted, and the work waits for a later runner (see NeedsRunner).
    bool Post(Reserved item, Clock::time_point due) noexcept
    {
        std::lock_guard<std::mutex> lock(m_lock);
        item.key() = due;
        if (m_items.insert(std::move(item)) == m_items.begin())
            m_changed.notify_all();  // due before what the runners wait for
        const std::size_t idle = m_runners - m_busy;  // runners that will take the next due item
        if (m_runners >= m_maxRunners || idle >= m_items.size()) return false;
        ++m_runners;
        return true;
    }

    bool Post(Work work, Clock::time_point due) { return Post(Reserve(std::move(work)), due); }

    void RunnerNotStarted()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        --m_runners;
    }

    // True when work waits and no runner exists: the caller is to start one now (and to
    // call RunnerNotStarted should that fail).
    bool NeedsRunner()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_items.empty() || m_runners != 0) return false;
        ++m_runners;
        return true;
    }

    // A runner's life: waits for the earliest item to fall due, runs it with `run(work&)`,
    // and so on until the queue is empty. `run` must not throw; it may answer a time
    // (std::optional<Clock::time_point>) at which the same item is to run again. The lock
    // is not held while an item runs nor while it is destroyed (an item may own what
    // takes locks of its own on the way out).
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
                Reserved item = m_items.extract(first);
                ++m_busy;
                lock.unlock();
                std::optional<Clock::time_point> again;
                if constexpr (std::is_void_v<decltype(run(item.mapped()))>)
                    run(item.mapped());
                else
                    again = run(item.mapped());
                lock.lock();
                --m_busy;
                if (again) {
                    item.key() = *again;
                    m_items.insert(std::move(item));
                    continue;
                }
                lock.unlock();
            }  // the finished item goes here, outside the lock
            lock.lock();
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
    Items m_items;
    std::size_t m_runners = 0;  // started and not yet ended
    std::size_t m_busy = 0;     // of those, running an item
};
