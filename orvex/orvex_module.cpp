// The module's entry point: remembers the module handle for resources and paths.
#include "orvex_module.h"

namespace {
HMODULE g_module = nullptr;
}

HMODULE OrvexModuleHandle() { return g_module; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
