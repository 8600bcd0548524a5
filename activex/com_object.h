// Reference counting and a table-driven QueryInterface for our COM objects.
//
//   class CFoo : public activex::ComObject<CFoo, IFoo, IBar> {
//       static const activex::QiEntry<CFoo> kQiTable[];   // first entry answers IUnknown
//   };
//   const activex::QiEntry<CFoo> CFoo::kQiTable[] = {
//       ACTIVEX_QI(CFoo, IID_IFoo, IFoo), ACTIVEX_QI(CFoo, IID_IBar, IBar), {} };
#pragma once
#include <windows.h>
#include <unknwn.h>
#include <atomic>
#include <new>
#include "module_lock.h"

namespace activex {

template <class Derived>
struct QiEntry {
    const IID* iid;
    void* (*cast)(Derived*);
};

template <class Derived, class Interface>
void* QiCast(Derived* self) { return static_cast<Interface*>(self); }

#define ACTIVEX_QI(Derived, iid, Interface) { &(iid), &::activex::QiCast<Derived, Interface> }

// Looks the IID up in a table that ends with an empty entry; IUnknown is the first entry.
template <class Derived>
void* FindInQiTable(Derived* self, const QiEntry<Derived>* table, REFIID iid)
{
    if (IsEqualIID(iid, IID_IUnknown)) return table[0].cast(self);
    for (const QiEntry<Derived>* e = table; e->iid; ++e)
        if (IsEqualIID(iid, *e->iid)) return e->cast(self);
    return nullptr;
}

// Reference count of one object; each live object holds a module lock.
class RefCount {
public:
    RefCount() { ModuleLock(); }
    ~RefCount() { ModuleUnlock(); }
    RefCount(const RefCount&) = delete;
    RefCount& operator=(const RefCount&) = delete;
    ULONG Add() { return ++m_count; }
    ULONG Sub() { return --m_count; }

private:
    std::atomic<ULONG> m_count{1};
};

// Objects are born with one reference, which the creator owns.
template <class Derived, class... Interfaces>
class ComObject : public Interfaces... {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = FindInQiTable(static_cast<Derived*>(this), Derived::kQiTable, iid);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return m_refs.Add(); }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG left = m_refs.Sub();
        if (left == 0) delete static_cast<Derived*>(this);
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    RefCount m_refs;
};

// Creates an object of T (born with one reference) and hands out the requested interface.
template <class T, class... Args>
HRESULT CreateComObject(REFIID iid, void** out, Args&&... args)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    T* object = new (std::nothrow) T(static_cast<Args&&>(args)...);
    if (!object) return E_OUTOFMEMORY;
    HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

} // namespace activex
