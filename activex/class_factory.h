// One class factory per creatable class; DllGetClassObject picks it from a table.
#pragma once
#include "com_object.h"
#include "table_view.h"

namespace activex {

// Makes one object of a class; activex::CreateObject<T> is one.
using CreateFn = HRESULT (*)(REFIID iid, void** out);

struct ClassEntry {
    const CLSID* clsid;
    CreateFn create;
};

class ClassFactory : public Implements<ClassFactory, IClassFactory> {
public:
    explicit ClassFactory(CreateFn create) : m_create(create) {}

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    CreateFn m_create;
};

// DllGetClassObject over the module's table of creatable classes.
HRESULT GetClassObject(TableView<ClassEntry> classes, REFCLSID clsid, REFIID iid, void** out);

// DllCanUnloadNow: S_OK only when no object, lock or worker holds the module.
HRESULT CanUnloadNow();

} // namespace activex
