#include "dispatch_table.h"

namespace activex {

template <class Take>
HRESULT DispArgs::Fetch(UINT pos, VARTYPE type, Take take) const
{
    VARIANT value;
    VariantInit(&value);
    const HRESULT hr = DispGetParam(m_params, pos, type, &value, m_argErr);
    if (SUCCEEDED(hr)) take(value);
    return hr;
}

HRESULT DispArgs::Get(UINT pos, LONG& out) const
{
    return Fetch(pos, VT_I4, [&](VARIANT& value) { out = V_I4(&value); });
}

HRESULT DispArgs::Get(UINT pos, SHORT& out) const
{
    return Fetch(pos, VT_I2, [&](VARIANT& value) { out = V_I2(&value); });
}

HRESULT DispArgs::Get(UINT pos, ULONG& out) const
{
    const HRESULT hr = Fetch(pos, VT_I4, [&](VARIANT& value) { out = static_cast<ULONG>(V_I4(&value)); });
    if (hr != DISP_E_OVERFLOW) return hr;
    return Fetch(pos, VT_UI4, [&](VARIANT& value) { out = V_UI4(&value); });
}

HRESULT DispArgs::Get(UINT pos, UniqueBstr& out) const
{
    return Fetch(pos, VT_BSTR, [&](VARIANT& value) { *out.put() = V_BSTR(&value); });
}

} // namespace activex
