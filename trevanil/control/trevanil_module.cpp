// The module's entry point: remembers the module handle. Control containment (atl.dll)
// and the list view class are set up when the first dialog is made, not under the
// loader lock.
#include "trevanil_module.h"

#include <cstdio>
#include "activex/exception_barrier.h"

namespace {

HMODULE g_module = nullptr;

// The module keeps no log of its own: what a barrier catches goes to the debugger.
void BarrierToDebugger(const char* where, const char* message) noexcept
{
    char line[512];
    std::snprintf(line, sizeof line, "trevanil: %s: %s\n", where ? where : "", message ? message : "");
    OutputDebugStringA(line);
}

}  // namespace

HMODULE TrevanilModuleHandle() { return g_module; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
        activex::SetBarrierLog(&BarrierToDebugger);
    }
    return TRUE;
}
