// Where orvex.dll's parts are wired together: its entry point, the exception barrier's
// log, the connection registry (adapters, login prompt, home thread) and the description
// of its COM server (classes, registration, component categories).
#include "orvex_module.h"

#include <memory>
#include "activex/dll_server.h"
#include "activex/module_entry.h"
#include "connections/pu_protocols.h"
#include "control/login/dlg_login.h"
#include "control/orvex_ctrl.h"
#include "control/orvex_ids.h"
#include "control/orvex_module_state.h"
#include "control/orvex_prop_page.h"
#include "control/orvex_resource.h"
#include "control/registry_home.h"
#include "diag/write_log.h"

namespace {

HMODULE g_module = nullptr;

void LogCaughtException(const char* where, const char* message) noexcept { ORVEX_LOG(where, message); }

const activex::ClassEntry kClasses[] = {
    {&CLSID_orvex, &activex::CreateObject<COrvexCtrl>},
    {&CLSID_orvexPropPage, &activex::CreateObject<COrvexPropPage>},
};

// The standard component categories the control belongs to, in registration order.
struct Category {
    GUID catid;
    const wchar_t* description;
};
const Category kCategories[] = {
    {{0x7DD95802, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}},
     L" Controls safely initializable from persistent data! "},
    {{0x7DD95801, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}}, L" Controls safely scriptable! "},
};
constexpr LCID kCategoryLcid = 0x0409;

HRESULT RegisterCategories()
{
    for (const Category& category : kCategories) {
        HRESULT hr = activex::RegisterCategory(category.catid, category.description, kCategoryLcid);
        if (FAILED(hr)) return hr;
        hr = activex::RegisterClassInCategory(CLSID_orvex, category.catid);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

// The categories themselves stay: other controls may belong to them.
HRESULT UnregisterCategories()
{
    for (const Category& category : kCategories) {
        const HRESULT hr = activex::UnregisterClassFromCategory(CLSID_orvex, category.catid);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

const activex::ServerDescription kServer = {
    &OrvexModuleHandle, kClasses,
    &CLSID_orvex, IDS_ORVEX, L"" ORVEX_PROGID_TEXT, true, IDB_ORVEX, activex::kStandardControlVerbs,
    &CLSID_orvexPropPage, IDS_ORVEX_PPG, nullptr,
    &LIBID_orvexLib, kOrvexLibMajor, kOrvexLibMinor, kOrvexLibLcid, L"" ACTIVEX_VERSION_TEXT(ORVEX_LIB_MAJOR, ORVEX_LIB_MINOR),
    &RegisterCategories, &UnregisterCategories,
};

// While a host thread waits for a connection that another thread uses, it serves what
// other threads send it (that thread's login dialog owned by this thread's window, a
// library's window on this thread), never the messages posted to the host's loop.
void ServeSentMessages()
{
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

} // namespace

HMODULE OrvexModuleHandle() { return g_module; }

const activex::ServerDescription& activex::ThisServer() { return kServer; }

SharedRegistry<PuManager>& ModuleRegistry()
{
    static SharedRegistry<PuManager> registry(&CreateRegistryHome);
    return registry;
}

std::shared_ptr<PuManager> AcquireModuleRegistry()
{
    return ModuleRegistry().Acquire([] {
        auto registry = std::make_unique<PuManager>(DefaultPuProtocols(), g_dlgLogin,
                                                    PuWaiting{PuWaiting().limit, &ServeSentMessages});
        int errPu = 0;
        registry->Init(&errPu);  // a missing device library shows up in later calls
        return registry;
    });
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    return activex::ModuleEntry(instance, reason, g_module, &LogCaughtException);
}
