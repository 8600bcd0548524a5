// Our COM object model. A class names its interfaces once, in its base list, and
// QueryInterface walks that list:
//
//   class CFoo : public activex::Implements<CFoo, IFoo, IBar> {
//   public:
//       // Interface ids the list cannot express: answered as the interface named second.
//       static constexpr activex::QiAlias kAliases[] = {{&IID_IFooBase, &IID_IFoo}};
//       HRESULT FinalConstruct();   // optional: the part of construction that can fail
//   };
//   activex::CreateObject<CFoo>(iid, out, constructor arguments...);
//
// IUnknown is the first interface of the list; IDispatch, when the list does not name
// it, is the first interface derived from it. Each interface's IID is __uuidof(I):
// mingw's headers declare most; interface_ids.h adds those they lack.
//
// A reusable base that implements a group of interfaces but leaves IUnknown to the
// object (OleControl) derives from InterfaceGroup<I...> and may have aliases of its
// own; the object then lists the base like an interface:
//
//   class CCtrl : public activex::Implements<CCtrl, activex::OleControl, IObjectSafety> {...};
//
// Implements<> holds the object's one reference count and one module lock, and its
// constructor arguments go to the first base of the list. An object that lives inside
// another one and shares its owner's reference count (a connection point) derives
// from Contained<D, I...> instead.
#pragma once
#include <windows.h>
#include <unknwn.h>
#include <oaidl.h>
#include <atomic>
#include <type_traits>
#include <utility>
#include "exception_barrier.h"
#include "interface_ids.h"
#include "module_lock.h"

namespace activex {

// An interface id answered as another interface of the object.
struct QiAlias {
    const IID* iid;
    const IID* as;
};

template <class... I>
struct InterfaceList {};

// Base of a class that implements several interfaces for the object deriving from it.
template <class... I>
class InterfaceGroup : public I... {
public:
    using GroupInterfaces = InterfaceList<I...>;

protected:
    InterfaceGroup() = default;
    ~InterfaceGroup() = default;
};

namespace detail {

template <class T, class = void>
struct IsGroup : std::false_type {};
template <class T>
struct IsGroup<T, std::void_t<typename T::GroupInterfaces>> : std::true_type {};

template <class T, class = void>
struct HasAliases : std::false_type {};
template <class T>
struct HasAliases<T, std::void_t<decltype(T::kAliases)>> : std::true_type {};

template <class T, class = void>
struct HasFinalConstruct : std::false_type {};
template <class T>
struct HasFinalConstruct<T, std::void_t<decltype(std::declval<T&>().FinalConstruct())>> : std::true_type {};

// The pointer for `iid` among the interfaces of P (an interface, or a group), or null.
template <class D, class... P>
void* FindExact(D* self, REFIID iid, InterfaceList<P...>);

template <class D, class P>
void* FindExactOne(D* self, REFIID iid)
{
    if constexpr (IsGroup<P>::value) return FindExact(self, iid, typename P::GroupInterfaces{});
    else return IsEqualIID(iid, __uuidof(P)) ? static_cast<P*>(self) : nullptr;
}

template <class D, class... P>
void* FindExact(D* self, REFIID iid, InterfaceList<P...>)
{
    void* found = nullptr;
    ((found = found ? found : FindExactOne<D, P>(self, iid)), ...);
    return found;
}

// The first interface of the list: the object's IUnknown.
template <class D, class P, class... Rest>
IUnknown* FirstInterface(D* self, InterfaceList<P, Rest...>)
{
    if constexpr (IsGroup<P>::value) return FirstInterface(self, typename P::GroupInterfaces{});
    else return static_cast<P*>(self);
}

// The first interface derived from IDispatch, or null.
template <class D, class... P>
void* FindDispatch(D* self, InterfaceList<P...>);

template <class D, class P>
void* FindDispatchOne(D* self)
{
    if constexpr (IsGroup<P>::value) return FindDispatch(self, typename P::GroupInterfaces{});
    else if constexpr (std::is_base_of_v<IDispatch, P>) return static_cast<P*>(self);
    else return nullptr;
}

template <class D, class... P>
void* FindDispatch(D* self, InterfaceList<P...>)
{
    void* found = nullptr;
    ((found = found ? found : FindDispatchOne<D, P>(self)), ...);
    return found;
}

template <class T>
const IID* AliasTarget(REFIID iid)
{
    if constexpr (HasAliases<T>::value) {
        for (const QiAlias& alias : T::kAliases)
            if (IsEqualIID(iid, *alias.iid)) return alias.as;
    }
    return nullptr;
}

// The alias target of `iid` in D's table, then in the tables of the groups D lists.
template <class D, class... P>
const IID* FindAlias(REFIID iid, InterfaceList<P...>)
{
    const IID* as = AliasTarget<D>(iid);
    ((as = as ? as : AliasTarget<P>(iid)), ...);
    return as;
}

template <class D, class... P>
void* Find(D* self, REFIID iid)
{
    using List = InterfaceList<P...>;
    if (IsEqualIID(iid, IID_IUnknown)) return FirstInterface(self, List{});
    void* found = FindExact(self, iid, List{});
    if (!found) {
        if (const IID* as = FindAlias<D>(iid, List{})) found = FindExact(self, *as, List{});
    }
    if (!found && IsEqualIID(iid, IID_IDispatch)) found = FindDispatch(self, List{});
    return found;
}

template <class F, class...>
struct FirstOf {
    using type = F;
};

template <class D, class... P>
HRESULT Query(D* self, REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = Find<D, P...>(self, iid);
    if (!*out) return E_NOINTERFACE;
    static_cast<IUnknown*>(*out)->AddRef();
    return S_OK;
}

} // namespace detail

// A COM object of its own. It is born with one reference, which its creator owns, and
// holds a module lock from before its first base is made until after its last is gone.
template <class D, class... P>
class Implements : private ScopedModuleLock, public P... {
    using FirstBase = typename detail::FirstOf<P...>::type;

public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        return detail::Query<D, P...>(static_cast<D*>(this), iid, out);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG left = --m_refs;
        if (left == 0) delete this;
        return left;
    }

    Implements(const Implements&) = delete;
    Implements& operator=(const Implements&) = delete;

protected:
    Implements() = default;
    template <class Arg, class... Args>
    explicit Implements(Arg&& arg, Args&&... args) : FirstBase(std::forward<Arg>(arg), std::forward<Args>(args)...)
    {
    }
    virtual ~Implements() = default;

private:
    std::atomic<ULONG> m_refs{1};
};

// An object inside another one (its owner): its references are the owner's, so it
// lives as long as the owner does. QueryInterface answers its own interfaces only.
template <class D, class... I>
class Contained : public I... {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        return detail::Query<D, I...>(static_cast<D*>(this), iid, out);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return m_owner->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return m_owner->Release(); }

    Contained(const Contained&) = delete;
    Contained& operator=(const Contained&) = delete;

protected:
    explicit Contained(IUnknown* owner) : m_owner(owner) {}
    ~Contained() = default;
    IUnknown* Owner() const { return m_owner; }

private:
    IUnknown* m_owner;
};

// Hands `value` out through the caller's out parameter; E_POINTER when there is none.
template <class T>
HRESULT CopyOut(T* out, const T& value)
{
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

// The one way to make an object: constructs T, runs T::FinalConstruct() when T has
// one (its failure destroys the object and is returned), and hands out `iid`. An
// exception from the constructor becomes E_OUTOFMEMORY or E_UNEXPECTED.
template <class T, class... Args>
HRESULT CreateObject(REFIID iid, void** out, Args&&... args)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    return Barrier("activex::CreateObject", [&]() -> HRESULT {
        struct Creation {
            T* object;
            ~Creation() { object->Release(); }  // the creator's reference, on every path
        } creation{new T(std::forward<Args>(args)...)};
        HRESULT hr = S_OK;
        if constexpr (detail::HasFinalConstruct<T>::value) hr = creation.object->FinalConstruct();
        if (SUCCEEDED(hr)) hr = creation.object->QueryInterface(iid, out);
        return hr;
    });
}

} // namespace activex
