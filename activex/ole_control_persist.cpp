// OleControl: IViewObject and persistence. The state is the persistence version and the
// extent; a control has no properties of its own here.
#include "ole_control.h"

namespace activex {
namespace {

struct PersistedState {
    DWORD version;
    LONG cx;
    LONG cy;
};

HRESULT ReadBagLong(IPropertyBag* bag, const wchar_t* name, IErrorLog* log, LONG& out)
{
    UniqueVariant value;
    V_VT(value.get()) = VT_I4;
    HRESULT hr = bag->Read(name, value.get(), log);
    if (FAILED(hr)) return hr;
    hr = VariantChangeType(value.get(), value.get(), 0, VT_I4);
    if (SUCCEEDED(hr)) out = V_I4(value.get());
    return hr;
}

HRESULT WriteBagLong(IPropertyBag* bag, const wchar_t* name, LONG number)
{
    UniqueVariant value;
    V_VT(value.get()) = VT_I4;
    V_I4(value.get()) = number;
    return bag->Write(name, value.get());
}

} // namespace

STDMETHODIMP OleControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC drawDc, LPCRECTL bounds,
                              LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR)
{
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    // Without a device context there is nothing to paint into.
    if (!drawDc || !bounds) return S_OK;
    if (!m_info.windowClass) {
        const RECT rect{bounds->left, bounds->top, bounds->right, bounds->bottom};
        return Barrier("OleControl::Draw", [&] { OnDraw(drawDc, rect); });
    }
    if (!m_hwnd) return S_OK;
    POINT oldOrigin;
    SetViewportOrgEx(drawDc, bounds->left, bounds->top, &oldOrigin);
    SendMessageW(m_hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(drawDc), PRF_CLIENT);
    SetViewportOrgEx(drawDc, oldOrigin.x, oldOrigin.y, nullptr);
    return S_OK;
}

STDMETHODIMP OleControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink)
{
    m_viewAspects = aspects;
    m_viewFlags = flags;
    m_viewSink = ComPtr<IAdviseSink>(sink);
    return S_OK;
}

STDMETHODIMP OleControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink)
{
    if (aspects) *aspects = m_viewAspects;
    if (flags) *flags = m_viewFlags;
    if (sink) *sink = ComPtr<IAdviseSink>(m_viewSink).detach();
    return S_OK;
}

STDMETHODIMP OleControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size)
{
    return GetExtent(aspect, size);
}

STDMETHODIMP OleControl::GetClassID(CLSID* out) { return CopyOut(out, *m_info.clsid); }

STDMETHODIMP OleControl::Load(IStream* stream)
{
    if (!stream) return E_POINTER;
    PersistedState state{};
    ULONG read = 0;
    HRESULT hr = stream->Read(&state, sizeof(state), &read);
    if (FAILED(hr)) return hr;
    if (read != sizeof(state)) return STG_E_READFAULT;
    if (HIWORD(state.version) != HIWORD(m_info.persistVersion)) return E_FAIL;
    m_extent = {state.cx, state.cy};
    return S_OK;
}

STDMETHODIMP OleControl::Save(IStream* stream, BOOL)
{
    if (!stream) return E_POINTER;
    PersistedState state{m_info.persistVersion, m_extent.cx, m_extent.cy};
    return stream->Write(&state, sizeof(state), nullptr);
}

STDMETHODIMP OleControl::GetSizeMax(ULARGE_INTEGER* size)
{
    if (!size) return E_POINTER;
    size->QuadPart = sizeof(PersistedState);
    return S_OK;
}

STDMETHODIMP OleControl::Load(IPropertyBag* bag, IErrorLog* log)
{
    if (!bag) return E_POINTER;
    // Every value is optional: a page or template that names none keeps the defaults.
    LONG cx = m_extent.cx, cy = m_extent.cy;
    ReadBagLong(bag, L"_ExtentX", log, cx);
    ReadBagLong(bag, L"_ExtentY", log, cy);
    m_extent = {cx, cy};
    return S_OK;
}

STDMETHODIMP OleControl::Save(IPropertyBag* bag, BOOL, BOOL)
{
    if (!bag) return E_POINTER;
    HRESULT hr = WriteBagLong(bag, L"_Version", static_cast<LONG>(m_info.persistVersion));
    if (SUCCEEDED(hr)) hr = WriteBagLong(bag, L"_ExtentX", m_extent.cx);
    if (SUCCEEDED(hr)) hr = WriteBagLong(bag, L"_ExtentY", m_extent.cy);
    return hr;
}

} // namespace activex
