// One class factory per creatable class; DllGetClassObject picks it from a table.
#pragma once
#include "com_object.h"

namespace activex {

using CreateFn = HRESULT (*)(REFIID iid, void** out);

struct ClassEntry {
    const CLSID* clsid;
    CreateFn create;
};

class ClassFactory : public ComObject<ClassFactory, IClassFactory> {
public:
    explicit ClassFactory(CreateFn create) : m_create(create) {}
    static const QiEntry<ClassFactory> kQiTable[];

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    CreateFn m_create;
};

// DllGetClassObject over a table that ends with an empty entry.
HRESULT GetClassObject(const ClassEntry* classes, REFCLSID clsid, REFIID iid, void** out);

// DllCanUnloadNow: S_OK only when no object, lock or worker holds the module.
HRESULT CanUnloadNow();

} // namespace activex
