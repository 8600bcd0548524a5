// The module's lock count: live objects, IClassFactory::LockServer locks and any
// other work (e.g. background threads) that must keep the DLL loaded.
#pragma once

namespace activex {

void ModuleLock();
void ModuleUnlock();
long ModuleLockCount();

// Holds one module lock for its lifetime.
class ScopedModuleLock {
public:
    ScopedModuleLock() { ModuleLock(); }
    ~ScopedModuleLock() { ModuleUnlock(); }
    ScopedModuleLock(const ScopedModuleLock&) = delete;
    ScopedModuleLock& operator=(const ScopedModuleLock&) = delete;
};

} // namespace activex
