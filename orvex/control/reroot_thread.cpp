#include "reroot_thread.h"

#include <windows.h>
#include <new>
#include "activex/module_lock.h"
#include "activex/raii.h"
#include "connections/pu_manager.h"
#include "diag/write_log.h"
#include "shared_registry.h"

namespace {

struct ReRootWork {
    std::shared_ptr<PuManager> registry;
    HMODULE module;  // a reference of our own, so the code stays mapped while it runs
};

DWORD WINAPI ReRootThread(void* param)
{
    auto* work = static_cast<ReRootWork*>(param);
    Sleep(kReRootDelayMs);
    try {
        RestartOneMarked(*work->registry);
    } catch (...) {
        ORVEX_LOG("ReRootThread", "restart failed.");
    }
    HMODULE module = work->module;
    delete work;  // may destroy the registry when no control is left
    activex::ModuleUnlock();
    FreeLibraryAndExitThread(module, 0);
}

} // namespace

void StartReRootThread(std::shared_ptr<PuManager> registry)
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&ReRootThread),
                            &module)) {
        ORVEX_LOG("StartReRootThread", "cannot pin the module, no restart.");
        return;
    }
    auto* work = new (std::nothrow) ReRootWork{std::move(registry), module};
    if (!work) {
        FreeLibrary(module);
        return;
    }
    activex::ModuleLock();
    activex::UniqueHandle thread(CreateThread(nullptr, 0, &ReRootThread, work, 0, nullptr));
    if (!thread) {
        ORVEX_LOG("StartReRootThread", "CreateThread failed, no restart.");
        activex::ModuleUnlock();
        delete work;
        FreeLibrary(module);
    }
    // The handle is closed at once: nothing waits for the worker.
}
