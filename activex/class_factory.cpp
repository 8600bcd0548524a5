#include "class_factory.h"

namespace activex {

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return Barrier("ClassFactory::CreateInstance", [&] { return m_create(iid, out); });
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock)
{
    if (lock) ModuleLock();
    else ModuleUnlock();
    return S_OK;
}

HRESULT GetClassObject(TableView<ClassEntry> classes, REFCLSID clsid, REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    for (const ClassEntry& c : classes)
        if (IsEqualCLSID(clsid, *c.clsid)) return CreateObject<ClassFactory>(iid, out, c.create);
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CanUnloadNow() { return ModuleLockCount() == 0 ? S_OK : S_FALSE; }

} // namespace activex
