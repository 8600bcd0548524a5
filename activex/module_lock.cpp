#include "module_lock.h"
#include <atomic>

namespace activex {
namespace {
std::atomic<long> g_lockCount{0};
}

void ModuleLock() { ++g_lockCount; }
void ModuleUnlock() { --g_lockCount; }
long ModuleLockCount() { return g_lockCount.load(); }

} // namespace activex
