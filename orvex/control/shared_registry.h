// The module-wide connection registry, shared by every live control of the process and
// by every pending restart: the first owner makes it, each further one uses it, and it
// goes away with the last owner. So a registry never dies under a restart.
//
// Making a registry loads the camera and media libraries (its Init) and destroying it
// releases them. Both happen on the registry's home thread, the host's thread that made
// it, because a library may tie windows and timers to the thread that initialised it:
//  - the last owner that goes on the home thread (a control destroyed with no restart
//    pending) destroys the registry at once;
//  - the last owner that goes on another thread (a restart's runner, a control of another
//    apartment) leaves it as an orphan and asks the home thread to destroy it
//    (IRegistryHome::PostRelease); the home's message loop then calls ReleaseOrphan, and
//    nobody waits for that. A control made meanwhile takes the orphan over instead;
//  - only when the home thread is gone is it destroyed where its last owner went.
// Making and destroying happen under one lock, so a load, a release and the registry's
// calls into the libraries never overlap: a registry is made only when none exists, and
// an Acquire that finds the last registry being destroyed waits for the end of it. The
// library slots are written under a lock of their own that is only ever taken inside
// this one (flat_slots.h), so the two locks are always taken in this order.
#pragma once
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

// The thread a registry was made on, as the registry's owners see it.
class IRegistryHome {
public:
    virtual ~IRegistryHome() = default;
    virtual bool IsHomeThread() const = 0;
    // Asks the home thread to call ReleaseOrphan soon; false when it cannot be reached.
    virtual bool PostRelease() = 0;
    // Asks the home thread to call `retry` about every half second until it answers true;
    // false when it cannot be reached.
    virtual bool PostRetry() = 0;
};

// Points where a test holds a thread; they do nothing in the module.
struct SharedRegistryNoHooks {
    static void LastShareGone() {}  // the last share has gone, its owner not yet handed back
    static void AcquireWaits() {}   // under the lock, as Acquire is about to wait
};

template <class Registry, class Hooks = SharedRegistryNoHooks>
class SharedRegistry {
public:
    using MakeHome = std::function<std::unique_ptr<IRegistryHome>()>;

    // `makeHome` runs on the thread that makes a registry; without one (or when it gives
    // none) a registry is destroyed wherever its last owner goes.
    explicit SharedRegistry(MakeHome makeHome = nullptr) : m_makeHome(std::move(makeHome)) {}

    // The module's registry is a static, destroyed when the module is unloaded. A
    // registry and its home hold module locks, so a registry that still exists then can
    // only be the process's exit, inside DllMain under the loader lock: destroying it
    // would release the device libraries there. It is left to the process's end instead.
    ~SharedRegistry()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        (void)m_orphan.release();
        (void)m_home.release();
    }

    // The live registry, or a new one from `make` (returning std::unique_ptr<Registry>,
    // null for none) when there is none. Waits while the last registry is being destroyed.
    template <class Make>
    std::shared_ptr<Registry> Acquire(Make make)
    {
        std::unique_lock<std::mutex> lock(m_lock);
        for (;;) {
            if (std::shared_ptr<Registry> live = m_live.lock()) return live;
            if (m_orphan) {
                auto owner = std::make_shared<Owner>(*this);
                owner->registry = std::move(m_orphan);
                return Publish(std::move(owner));
            }
            if (!m_exists) break;
            // Its last owner is handing it back (it becomes an orphan, which is taken over
            // here) or destroying it: either way the change is notified.
            Hooks::AcquireWaits();
            m_changed.wait(lock);
        }
        // The owner block and the home first: should one of them throw, nothing has to
        // be undone, and no registry is destroyed under the lock this function holds.
        auto owner = std::make_shared<Owner>(*this);
        std::unique_ptr<IRegistryHome> home = m_makeHome ? m_makeHome() : nullptr;
        owner->registry = make();
        if (!owner->registry) return nullptr;
        m_home = std::move(home);
        m_exists = true;
        return Publish(std::move(owner));
    }

    // The live registry, or null.
    std::shared_ptr<Registry> Current()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_live.lock();
    }

    // On the home thread, when it handles what PostRelease asked for: destroys the orphan
    // unless a control has taken it over meanwhile.
    void ReleaseOrphan()
    {
        std::unique_lock<std::mutex> lock(m_lock);
        if (m_orphan) Destroy(std::move(m_orphan));
    }

    // Asks the home of the registry that exists now to retry (IRegistryHome::PostRetry);
    // false when there is no registry or its home cannot be reached.
    bool PostRetryToHome()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_home && m_home->PostRetry();
    }

    // Whether a registry exists: live, an orphan, or being destroyed.
    bool Exists()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_exists;
    }

private:
    // Holds the registry for all its shares; the last share hands it back.
    struct Owner {
        explicit Owner(SharedRegistry& shared) : shared(shared) {}
        ~Owner()
        {
            Hooks::LastShareGone();
            if (registry) shared.LastOwnerGone(std::move(registry));
        }
        SharedRegistry& shared;
        std::unique_ptr<Registry> registry;
    };

    std::shared_ptr<Registry> Publish(std::shared_ptr<Owner> owner)
    {
        std::shared_ptr<Registry> registry(owner, owner->registry.get());
        m_live = registry;
        return registry;
    }

    void LastOwnerGone(std::unique_ptr<Registry> registry)
    {
        std::unique_lock<std::mutex> lock(m_lock);
        if (m_home && !m_home->IsHomeThread()) {
            m_orphan = std::move(registry);
            if (m_home->PostRelease()) {
                // An Acquire may wait since the last share went: it takes the orphan over
                // now. It may run on the home thread, whose loop would never come to the
                // release while it waits.
                m_changed.notify_all();
                return;
            }
            registry = std::move(m_orphan);  // the home thread is gone: here, then
        }
        Destroy(std::move(registry));
    }

    // Under the lock.
    void Destroy(std::unique_ptr<Registry> registry)
    {
        registry.reset();
        m_home.reset();
        m_exists = false;
        m_changed.notify_all();
    }

    const MakeHome m_makeHome;
    std::mutex m_lock;
    std::condition_variable m_changed;  // an orphan appeared, or the registry is gone
    std::weak_ptr<Registry> m_live;
    std::unique_ptr<Registry> m_orphan;      // no owner left, waiting for its home thread
    std::unique_ptr<IRegistryHome> m_home;  // of the registry that exists
    bool m_exists = false;                   // a registry is live, an orphan or being destroyed
};
