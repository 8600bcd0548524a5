#include "dll_server.h"

#include <olectl.h>
#include <string>
#include "exception_barrier.h"
#include "ole_misc.h"

namespace activex {
namespace {

std::wstring ModuleString(const ServerDescription& server, UINT id)
{
    wchar_t text[256] = L"";
    LoadStringW(server.module(), id, text, 256);
    return text;
}

bool ModulePath(const ServerDescription& server, wchar_t (&path)[MAX_PATH])
{
    const DWORD length = GetModuleFileNameW(server.module(), path, MAX_PATH);
    return length > 0 && length < MAX_PATH;
}

// The two classes' keys, with their names loaded from the module's strings.
struct Registrations {
    explicit Registrations(const ServerDescription& s)
        : controlName(ModuleString(s, s.controlNameId)), pageName(ModuleString(s, s.pageNameId)),
          control{s.controlClsid, controlName.c_str(), s.controlProgId, L"Apartment", true, s.insertable,
                  kControlMiscStatus, s.toolboxBitmapId, s.libid, s.libVersionText, s.verbs},
          page{s.pageClsid, pageName.c_str(), s.pageProgId, nullptr, false, false, 0, 0, nullptr, nullptr, {}}
    {
    }
    std::wstring controlName;
    std::wstring pageName;
    ClassRegistration control;
    ClassRegistration page;
};

} // namespace

HRESULT RegisterServer(const ServerDescription& server)
{
    wchar_t path[MAX_PATH];
    if (!ModulePath(server, path) || FAILED(RegisterEmbeddedTypeLib(path))) return SELFREG_E_TYPELIB;
    const Registrations reg(server);
    if (FAILED(RegisterComClass(reg.control, path)) || FAILED(RegisterComClass(reg.page, path)))
        return SELFREG_E_CLASS;
    return server.registerMore ? server.registerMore() : S_OK;
}

HRESULT UnregisterServer(const ServerDescription& server)
{
    if (FAILED(UnregisterTypeLib(*server.libid, server.libMajor, server.libMinor, server.libLcid)))
        return SELFREG_E_TYPELIB;
    const Registrations reg(server);
    if (FAILED(UnregisterComClass(reg.control)) || FAILED(UnregisterComClass(reg.page))) return SELFREG_E_CLASS;
    return server.unregisterMore ? server.unregisterMore() : S_OK;
}

} // namespace activex

// The module's COM entry points, each behind the exception barrier.
extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    return activex::Barrier("DllGetClassObject",
                            [&] { return activex::GetClassObject(activex::ThisServer().classes, clsid, iid, out); });
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return activex::Barrier("DllCanUnloadNow", [] { return activex::CanUnloadNow(); });
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
{
    return activex::Barrier("DllRegisterServer", [] { return activex::RegisterServer(activex::ThisServer()); });
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    return activex::Barrier("DllUnregisterServer", [] { return activex::UnregisterServer(activex::ThisServer()); });
}
