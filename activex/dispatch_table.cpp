#include "dispatch_table.h"

namespace activex {

HRESULT DispArgs::Fetch(UINT pos, VARTYPE type, VARIANT& out) const
{
    VariantInit(&out);
    return DispGetParam(m_params, pos, type, &out, m_argErr);
}

HRESULT DispArgs::Long(UINT pos, LONG& out) const
{
    VARIANT value;
    HRESULT hr = Fetch(pos, VT_I4, value);
    if (SUCCEEDED(hr)) out = V_I4(&value);
    return hr;
}

HRESULT DispArgs::Short(UINT pos, SHORT& out) const
{
    VARIANT value;
    HRESULT hr = Fetch(pos, VT_I2, value);
    if (SUCCEEDED(hr)) out = V_I2(&value);
    return hr;
}

HRESULT DispArgs::ULong(UINT pos, ULONG& out) const
{
    VARIANT value;
    HRESULT hr = Fetch(pos, VT_I4, value);
    if (SUCCEEDED(hr)) {
        out = static_cast<ULONG>(V_I4(&value));
        return hr;
    }
    if (hr != DISP_E_OVERFLOW) return hr;
    hr = Fetch(pos, VT_UI4, value);
    if (SUCCEEDED(hr)) out = V_UI4(&value);
    return hr;
}

HRESULT DispArgs::Text(UINT pos, UniqueBstr& out) const
{
    VARIANT value;
    HRESULT hr = Fetch(pos, VT_BSTR, value);
    if (SUCCEEDED(hr)) *out.put() = V_BSTR(&value);
    return hr;
}

} // namespace activex
