// The module's COM entry points: class objects, unloading, self-registration.
#include <windows.h>
#include <olectl.h>
#include <string>

#include "activex/class_factory.h"
#include "activex/exception_barrier.h"
#include "activex/ole_misc.h"
#include "activex/registration.h"
#include "orvex_ctrl.h"
#include "orvex_ids.h"
#include "orvex_module.h"
#include "orvex_module_state.h"
#include "orvex_prop_page.h"
#include "orvex_resource.h"
#include "registry_home.h"

namespace {

const activex::ClassEntry kClasses[] = {
    {&CLSID_orvex, &activex::CreateObject<COrvexCtrl>},
    {&CLSID_orvexPropPage, &activex::CreateObject<COrvexPropPage>},
    {nullptr, nullptr},
};

const activex::VerbEntry kControlVerbs[] = {
    {OLEIVERB_PRIMARY, L"&Edit,0,2"},
    {OLEIVERB_PROPERTIES, L"&Properties...,0,2"},
    {0, nullptr},
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

std::wstring ModuleString(UINT id)
{
    wchar_t text[256] = L"";
    LoadStringW(OrvexModuleHandle(), id, text, 256);
    return text;
}

bool ModulePath(wchar_t (&path)[MAX_PATH])
{
    DWORD length = GetModuleFileNameW(OrvexModuleHandle(), path, MAX_PATH);
    return length > 0 && length < MAX_PATH;
}

struct Registrations {
    std::wstring controlName = ModuleString(IDS_ORVEX);
    std::wstring pageName = ModuleString(IDS_ORVEX_PPG);
    activex::ClassRegistration control{&CLSID_orvex, controlName.c_str(), L"" ORVEX_PROGID_TEXT, L"Apartment",
                                       true, true, activex::kControlMiscStatus, IDB_ORVEX, &LIBID_orvexLib, L"1.0",
                                       kControlVerbs};
    activex::ClassRegistration page{&CLSID_orvexPropPage, pageName.c_str(), nullptr, nullptr,
                                    false, false, 0, 0, nullptr, nullptr, nullptr};
};

HRESULT RegisterServer()
{
    wchar_t path[MAX_PATH];
    if (!ModulePath(path) || FAILED(activex::RegisterEmbeddedTypeLib(path))) return SELFREG_E_TYPELIB;
    Registrations reg;
    if (FAILED(activex::RegisterComClass(reg.control, path)) || FAILED(activex::RegisterComClass(reg.page, path)))
        return SELFREG_E_CLASS;
    for (const Category& category : kCategories) {
        HRESULT hr = activex::RegisterCategory(category.catid, category.description, kCategoryLcid);
        if (FAILED(hr)) return hr;
        hr = activex::RegisterClassInCategory(CLSID_orvex, category.catid);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT UnregisterServer()
{
    if (FAILED(activex::UnregisterTypeLib(LIBID_orvexLib, kOrvexLibMajor, kOrvexLibMinor, kOrvexLibLcid)))
        return SELFREG_E_TYPELIB;
    Registrations reg;
    if (FAILED(activex::UnregisterComClass(reg.control)) || FAILED(activex::UnregisterComClass(reg.page)))
        return SELFREG_E_CLASS;
    // The categories themselves stay: other controls may belong to them.
    for (const Category& category : kCategories) {
        HRESULT hr = activex::UnregisterClassFromCategory(CLSID_orvex, category.catid);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

} // namespace

SharedRegistry<PuManager>& ModuleRegistry()
{
    static SharedRegistry<PuManager> registry(&CreateRegistryHome);
    return registry;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    return activex::Barrier("DllGetClassObject", [&] { return activex::GetClassObject(kClasses, clsid, iid, out); });
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return activex::Barrier("DllCanUnloadNow", [] { return activex::CanUnloadNow(); });
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
{
    return activex::Barrier("DllRegisterServer", [] { return RegisterServer(); });
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    return activex::Barrier("DllUnregisterServer", [] { return UnregisterServer(); });
}
