// The module's COM entry points: class objects, unloading, self-registration.
#include <windows.h>
#include <olectl.h>
#include <string>

#include "activex/class_factory.h"
#include "activex/exception_barrier.h"
#include "activex/ole_misc.h"
#include "activex/registration.h"
#include "trevanil_ctrl.h"
#include "trevanil_ids.h"
#include "trevanil_module.h"
#include "trevanil_prop_page.h"
#include "trevanil_resource.h"

namespace {

const activex::ClassEntry kClasses[] = {
    {&CLSID_Trevanil, &activex::CreateObject<CTrevanilCtrl>},
    {&CLSID_TrevanilPropPage, &activex::CreateObject<CTrevanilPropPage>},
    {nullptr, nullptr},
};

const activex::VerbEntry kControlVerbs[] = {
    {OLEIVERB_PRIMARY, L"&Edit,0,2"},
    {OLEIVERB_PROPERTIES, L"&Properties...,0,2"},
    {0, nullptr},
};

std::wstring ModuleString(UINT id)
{
    wchar_t text[256] = L"";
    LoadStringW(TrevanilModuleHandle(), id, text, 256);
    return text;
}

bool ModulePath(wchar_t (&path)[MAX_PATH])
{
    DWORD length = GetModuleFileNameW(TrevanilModuleHandle(), path, MAX_PATH);
    return length > 0 && length < MAX_PATH;
}

struct Registrations {
    std::wstring controlName = ModuleString(IDS_TREVANIL);
    std::wstring pageName = ModuleString(IDS_TREVANIL_PPG);
    // Not "Insertable": the control is a dialog for the platform's client, not a document
    // object for the Insert Object lists of word processors.
    activex::ClassRegistration control{&CLSID_Trevanil, controlName.c_str(), TREVANIL_PROGID, L"Apartment",
                                       true, false, activex::kControlMiscStatus, IDB_TREVANIL, &LIBID_TREVANILLib,
                                       L"1.0", kControlVerbs};
    activex::ClassRegistration page{&CLSID_TrevanilPropPage, pageName.c_str(), TREVANIL_PPG_PROGID, nullptr,
                                    false, false, 0, 0, nullptr, nullptr, nullptr};
};

} // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    return activex::Barrier("DllGetClassObject", [&] { return activex::GetClassObject(kClasses, clsid, iid, out); });
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return activex::CanUnloadNow(); }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
{
    return activex::Barrier("DllRegisterServer", [&]() -> HRESULT {
        wchar_t path[MAX_PATH];
        if (!ModulePath(path) || FAILED(activex::RegisterEmbeddedTypeLib(path))) return SELFREG_E_TYPELIB;
        Registrations reg;
        if (FAILED(activex::RegisterComClass(reg.control, path)) || FAILED(activex::RegisterComClass(reg.page, path)))
            return SELFREG_E_CLASS;
        return S_OK;
    });
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    return activex::Barrier("DllUnregisterServer", [&]() -> HRESULT {
        if (FAILED(activex::UnregisterTypeLib(LIBID_TREVANILLib, kTrevanilLibMajor, kTrevanilLibMinor,
                                              kTrevanilLibLcid)))
            return SELFREG_E_TYPELIB;
        Registrations reg;
        if (FAILED(activex::UnregisterComClass(reg.control)) || FAILED(activex::UnregisterComClass(reg.page)))
            return SELFREG_E_CLASS;
        return S_OK;
    });
}
