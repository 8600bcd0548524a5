// The module-wide connection registry, shared by every live control of the process:
// the first control makes it, each further one uses it, and it goes away with the
// last owner. Restart workers own it too, so a registry never dies under a worker.
#pragma once
#include <memory>
#include <mutex>

template <class Registry>
class SharedRegistry {
public:
    // The live registry, or a new one from `make` when there is none. `make` runs
    // under the lock, so two controls made at once still share one registry.
    template <class Make>
    std::shared_ptr<Registry> Acquire(Make make)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        std::shared_ptr<Registry> registry = m_registry.lock();
        if (!registry) {
            registry = make();
            m_registry = registry;
        }
        return registry;
    }

    // The live registry, or null.
    std::shared_ptr<Registry> Current()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_registry.lock();
    }

private:
    std::mutex m_lock;
    std::weak_ptr<Registry> m_registry;
};

// One restart worker's work once it has waited: take one marked connection that no
// other worker holds, restart the device and close the connection. A connection whose
// close failed is given back, so that a later worker restarts it again.
template <class Registry>
void RestartOneMarked(Registry& registry)
{
    int lPuID = 0;
    if (!registry.TakePuOnline(&lPuID)) return;
    int errPu = 1;
    registry.ReRoot(lPuID, &errPu);
    if (!registry.DisConnect(lPuID, &errPu)) registry.ReturnPuOnline(lPuID);
}
