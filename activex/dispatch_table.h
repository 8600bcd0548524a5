// IDispatch::Invoke from a table of DISPIDs, each entry made from its member function:
// DispArgs coerces each argument to the type it declares, a LONG result becomes VT_I4.
#pragma once
#include <cstddef>
#include <tuple>
#include <type_traits>
#include <windows.h>
#include <oleauto.h>
#include "raii.h"

namespace activex {

class DispArgs {
public:
    DispArgs(DISPPARAMS* params, UINT* argErr) : m_params(params), m_argErr(argErr) {}

    // Argument `pos` (0 = first in the method's list) as a signed 32-bit value.
    HRESULT Get(UINT pos, LONG& out) const;
    // As a signed 16-bit value; a value outside its range is DISP_E_OVERFLOW.
    HRESULT Get(UINT pos, SHORT& out) const;
    // As an unsigned 32-bit value. Hosts pass signed values (VBScript even -1 as VT_I2),
    // so the value goes through VT_I4 and keeps its 32-bit pattern; above the signed
    // range it is taken as unsigned.
    HRESULT Get(UINT pos, ULONG& out) const;
    // As text; a null BSTR arrives as the empty text.
    HRESULT Get(UINT pos, UniqueBstr& out) const;

private:
    template <class Take>  // `take` reads the value coerced to `type`
    HRESULT Fetch(UINT pos, VARTYPE type, Take take) const;
    DISPPARAMS* m_params;
    UINT* m_argErr;
};

template <class T>
struct DispEntry {
    DISPID id;
    UINT argCount;
    HRESULT (*invoke)(T& self, const DispArgs& args, VARIANT* result);
};

inline void SetLongResult(VARIANT* result, LONG value)
{
    if (!result) return;
    V_VT(result) = VT_I4;
    V_I4(result) = value;
}

namespace detail {

// A text argument waits for the call in a BSTR of its own, which the member borrows.
struct BstrSlot : UniqueBstr {
    operator BSTR() const { return get(); }
};
template <class A>
using DispSlot = std::conditional_t<std::is_same_v<A, BSTR>, BstrSlot, A>;

template <auto Member>
struct DispCall;
template <class T, class R, class... A, R (T::*Member)(A...)>
struct DispCall<Member> {
    static_assert(std::is_void_v<R> || std::is_same_v<R, LONG>, "a method returns nothing or a LONG");
    static HRESULT Invoke(T& self, const DispArgs& args, [[maybe_unused]] VARIANT* result)
    {
        std::tuple<DispSlot<A>...> slots;
        HRESULT hr = S_OK;
        UINT pos = 0;
        // In the method's order: the first argument that does not coerce ends the call.
        std::apply([&](auto&... slot) { (void)(... && SUCCEEDED(hr = args.Get(pos++, slot))); }, slots);
        if (FAILED(hr)) return hr;
        const auto call = [&self](auto&... slot) { return (self.*Member)(slot...); };
        if constexpr (std::is_void_v<R>) std::apply(call, slots);
        else SetLongResult(result, std::apply(call, slots));
        return S_OK;
    }
    static constexpr DispEntry<T> Entry(DISPID id) { return {id, sizeof...(A), &Invoke}; }
};

}  // namespace detail

// The table entry that calls `Member` for `id`.
template <auto Member>
constexpr auto DispMethod(DISPID id) { return detail::DispCall<Member>::Entry(id); }

// The entry of a line METHOD(dispid, result, name, (parameters)) of an IDL method list
// (orvex_contract.h): the cast holds the member function to the list's signature.
#define ACTIVEX_DISP_METHOD(Class, dispid, result, name, params) \
    activex::DispMethod<static_cast<result(Class::*) params>(&Class::name)>(dispid)

// Runs the entry for `id` (methods only) from the table.
template <class T, std::size_t N>
HRESULT InvokeFromTable(T& self, const DispEntry<T> (&rows)[N], DISPID id, WORD flags, DISPPARAMS* params,
                        VARIANT* result, UINT* argErr)
{
    for (const DispEntry<T>& e : rows) {
        if (e.id != id) continue;
        if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
        DISPPARAMS none{};
        if (!params) params = &none;
        if (params->cArgs > e.argCount) return DISP_E_BADPARAMCOUNT;
        if (result) VariantInit(result);
        return e.invoke(self, DispArgs(params, argErr), result);
    }
    return DISP_E_MEMBERNOTFOUND;
}

} // namespace activex
