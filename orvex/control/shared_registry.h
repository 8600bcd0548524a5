// The module-wide connection registry, shared by every live control of the process and
// by every pending restart: the first owner makes it, each further one uses it, and it
// goes away with the last owner. So a registry never dies under a restart.
//
// Making a registry loads the camera and media libraries (its Init) and destroying it
// releases them. Both happen here under one lock, and that is what keeps a load, a
// release and the registry's calls into the libraries apart:
//  - a registry is made only when none is live, and destroyed only when it has no owner
//    left, so while any owner can call into the libraries nobody loads or releases;
//  - making and destroying never overlap: the destruction holds the lock, and an Acquire
//    that finds the last registry still being destroyed waits for the end of it, then
//    makes a new one, which loads the libraries again;
//  - the library slots are written under a lock of their own that is only ever taken
//    inside this one (flat_slots.h), so the two locks are always taken in this order.
#pragma once
#include <condition_variable>
#include <memory>
#include <mutex>

template <class Registry>
class SharedRegistry {
public:
    // The live registry, or a new one from `make` (returning std::unique_ptr<Registry>,
    // null for none) when there is none. Waits while the last registry is being destroyed.
    template <class Make>
    std::shared_ptr<Registry> Acquire(Make make)
    {
        std::unique_lock<std::mutex> lock(m_lock);
        for (;;) {
            if (std::shared_ptr<Registry> live = m_live.lock()) return live;
            if (!m_exists) break;
            m_destroyed.wait(lock);  // its last owner is destroying it
        }
        // The owner block first: should `make` throw, it goes without a registry to destroy
        // and so without taking the lock this function holds.
        auto owner = std::make_shared<Owner>(*this);
        owner->registry = make();
        if (!owner->registry) return nullptr;
        std::shared_ptr<Registry> registry(owner, owner->registry.get());
        m_live = registry;
        m_exists = true;
        return registry;
    }

    // The live registry, or null.
    std::shared_ptr<Registry> Current()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_live.lock();
    }

private:
    // Holds the registry for all its shares; the last share destroys it under the lock.
    struct Owner {
        explicit Owner(SharedRegistry& shared) : shared(shared) {}
        ~Owner()
        {
            if (!registry) return;
            std::lock_guard<std::mutex> lock(shared.m_lock);
            registry.reset();
            shared.m_exists = false;
            shared.m_destroyed.notify_all();
        }
        SharedRegistry& shared;
        std::unique_ptr<Registry> registry;
    };

    std::mutex m_lock;
    std::condition_variable m_destroyed;
    std::weak_ptr<Registry> m_live;
    bool m_exists = false;  // a registry is live or still being destroyed
};

// One restart's work once it is due: take one marked connection that no other restart
// holds, restart the device and close the connection. A connection whose close failed is
// given back, so that a later restart takes it again.
template <class Registry>
void RestartOneMarked(Registry& registry)
{
    int lPuID = 0;
    if (!registry.TakePuOnline(&lPuID)) return;
    int errPu = 1;
    registry.ReRoot(lPuID, &errPu);
    if (!registry.DisConnect(lPuID, &errPu)) registry.ReturnPuOnline(lPuID);
}
