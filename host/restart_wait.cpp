#include "restart_wait.h"

#include <windows.h>

namespace trevanil_host {

bool DeviceModuleBusy()
{
    using CanUnloadFn = HRESULT(STDAPICALLTYPE*)();
    HMODULE module = GetModuleHandleW(L"orvex.dll");
    if (!module) return false;
    auto canUnload = reinterpret_cast<CanUnloadFn>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    return canUnload && canUnload() != S_OK;
}

void ServeMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void WaitForMessages(unsigned ms) { MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT); }

} // namespace trevanil_host
