// The DllMain of a control module, `return activex::ModuleEntry(instance, reason, g_module, &Log);`.
// Under the loader lock it only keeps the module's handle, turns off thread notifications
// and sets the barrier's log; the rest waits for the first call into the module.
#pragma once
#include <windows.h>
#include "exception_barrier.h"

namespace activex {

inline BOOL ModuleEntry(HINSTANCE instance, DWORD reason, HMODULE& module, BarrierLog barrierLog) noexcept
{
    if (reason == DLL_PROCESS_ATTACH) {
        module = instance;
        DisableThreadLibraryCalls(instance);
        SetBarrierLog(barrierLog);
    }
    return TRUE;
}

} // namespace activex
