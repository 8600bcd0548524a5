#include "registry_home.h"

#include <windows.h>
#include <new>
#include "activex/exception_barrier.h"
#include "activex/module_lock.h"
#include "diag/write_log.h"
#include "orvex_module.h"
#include "orvex_module_state.h"
#include "reroot_thread.h"

namespace {

constexpr wchar_t kHomeClass[] = L"OrvexRegistryHome";
constexpr UINT kReleaseMessage = WM_APP + 1;
constexpr UINT kRetryMessage = WM_APP + 2;
constexpr UINT_PTR kRetryTimer = 1;
constexpr UINT kRetryPeriodMs = 500;

LRESULT HandleHomeMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_NCCREATE:
        activex::ModuleLock();  // a window of the module keeps it loaded (DllCanUnloadNow)
        break;
    case WM_NCDESTROY:
        activex::ModuleUnlock();
        break;
    case kReleaseMessage:
        // May destroy this very window (with the registry it belongs to): nothing of the
        // window is used after it.
        ModuleRegistry().ReleaseOrphan();
        return 0;
    case kRetryMessage:
        if (!RetryReRootRunner()) SetTimer(hwnd, kRetryTimer, kRetryPeriodMs, nullptr);
        return 0;
    case WM_TIMER:
        if (wp == kRetryTimer && RetryReRootRunner()) KillTimer(hwnd, kRetryTimer);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK HomeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return activex::WindowBarrier("RegistryHome", [&] { return HandleHomeMessage(hwnd, msg, wp, lp); },
                                  [&] { return DefWindowProcW(hwnd, msg, wp, lp); });
}

// Window classes of a DLL outlive it unless they are unregistered: the class goes when
// the module's statics are torn down (no home window can exist then: each one holds a
// module lock).
class HomeClass {
public:
    HomeClass()
    {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &HomeProc;
        wc.hInstance = OrvexModuleHandle();
        wc.lpszClassName = kHomeClass;
        m_registered = RegisterClassExW(&wc) != 0;
    }
    ~HomeClass()
    {
        if (m_registered) UnregisterClassW(kHomeClass, OrvexModuleHandle());
    }
    HomeClass(const HomeClass&) = delete;
    HomeClass& operator=(const HomeClass&) = delete;
    bool Registered() const { return m_registered; }

private:
    bool m_registered = false;
};

class CRegistryHome final : public IRegistryHome {
public:
    CRegistryHome(HWND window, DWORD thread) : m_window(window), m_thread(thread) {}
    ~CRegistryHome() override
    {
        // On its own thread; otherwise its thread closes it (when that thread is gone,
        // the window went with it).
        if (IsHomeThread())
            DestroyWindow(m_window);
        else
            PostMessageW(m_window, WM_CLOSE, 0, 0);
    }
    CRegistryHome(const CRegistryHome&) = delete;
    CRegistryHome& operator=(const CRegistryHome&) = delete;

    bool IsHomeThread() const override { return GetCurrentThreadId() == m_thread; }
    bool PostRelease() override { return PostMessageW(m_window, kReleaseMessage, 0, 0) != FALSE; }
    bool PostRetry() override { return PostMessageW(m_window, kRetryMessage, 0, 0) != FALSE; }

private:
    const HWND m_window;
    const DWORD m_thread;
};

} // namespace

std::unique_ptr<IRegistryHome> CreateRegistryHome()
{
    static const HomeClass homeClass;  // once per module, on any thread
    HWND window = homeClass.Registered()
        ? CreateWindowExW(0, kHomeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, OrvexModuleHandle(), nullptr)
        : nullptr;
    if (!window) {
        ORVEX_LOG("CreateRegistryHome", "no home window: the registry goes where its last owner goes.");
        return nullptr;
    }
    auto home = std::unique_ptr<IRegistryHome>(new (std::nothrow) CRegistryHome(window, GetCurrentThreadId()));
    if (!home) DestroyWindow(window);
    return home;
}
