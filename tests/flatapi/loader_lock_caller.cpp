// A library whose DllMain asks orvex.dll to release the camera and media libraries, as a
// host's DllMain might: under the loader lock.
#include <windows.h>

#include <cstdint>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    using ReleaseDllFn = std::int32_t (*)(std::intptr_t);
    auto release = reinterpret_cast<ReleaseDllFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"orvex.dll"), "IPC_ReleaseDll")));
    std::int32_t error = 0;
    if (release) release(reinterpret_cast<std::intptr_t>(&error));
    return TRUE;
}
