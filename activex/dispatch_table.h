// IDispatch::Invoke from a table of DISPIDs: each entry fetches its arguments through
// DispArgs, which coerces them to the declared types.
#pragma once
#include <cstddef>
#include "table_view.h"
#include <windows.h>
#include <oleauto.h>
#include "raii.h"

namespace activex {

class DispArgs {
public:
    DispArgs(DISPPARAMS* params, UINT* argErr) : m_params(params), m_argErr(argErr) {}

    // Argument `pos` (0 = first in the method's list) as a signed 32-bit value.
    HRESULT Long(UINT pos, LONG& out) const;
    // As a signed 16-bit value; a value outside its range is DISP_E_OVERFLOW.
    HRESULT Short(UINT pos, SHORT& out) const;
    // As an unsigned 32-bit value. Hosts pass signed values (VBScript even -1 as VT_I2),
    // so the value goes through VT_I4 and keeps its 32-bit pattern; above the signed
    // range it is taken as unsigned.
    HRESULT ULong(UINT pos, ULONG& out) const;
    // As text; a null BSTR arrives as the empty text.
    HRESULT Text(UINT pos, UniqueBstr& out) const;

private:
    HRESULT Fetch(UINT pos, VARTYPE type, VARIANT& out) const;
    DISPPARAMS* m_params;
    UINT* m_argErr;
};

template <class T>
struct DispEntry {
    DISPID id;
    UINT argCount;
    HRESULT (*invoke)(T& self, const DispArgs& args, VARIANT* result);
};

// Runs the entry for `id` (methods only) from the table.
template <class T, std::size_t N>
HRESULT InvokeFromTable(T& self, const DispEntry<T> (&rows)[N], DISPID id, WORD flags, DISPPARAMS* params,
                        VARIANT* result, UINT* argErr)
{
    const TableView<DispEntry<T>> table(rows);
    for (const DispEntry<T>* e = table.begin(); e != table.end(); ++e) {
        if (e->id != id) continue;
        if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
        DISPPARAMS none{};
        if (!params) params = &none;
        if (params->cArgs > e->argCount) return DISP_E_BADPARAMCOUNT;
        if (result) VariantInit(result);
        return e->invoke(self, DispArgs(params, argErr), result);
    }
    return DISP_E_MEMBERNOTFOUND;
}

inline void SetLongResult(VARIANT* result, LONG value)
{
    if (!result) return;
    V_VT(result) = VT_I4;
    V_I4(result) = value;
}

} // namespace activex
