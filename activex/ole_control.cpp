// OleControl: identity, dispatch, events, class info and in-place activation.
#include "ole_control.h"

namespace activex {

OleControl::OleControl(const ControlInfo& info)
    : m_info(info), m_events(static_cast<IConnectionPointContainer*>(this), *info.eventIid)
{
}

OleControl::~OleControl()
{
    m_events.UnadviseAll();
    if (m_hwnd) DestroyWindow(m_hwnd);
}

// ---- type information and dispatch ----

HRESULT OleControl::LoadTypeInfo(REFGUID guid, ITypeInfo** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(m_info.module(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TYPE_E_CANTLOADLIBRARY;
    ComPtr<ITypeLib> typeLib;
    HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, typeLib.put());
    if (FAILED(hr)) return hr;
    return typeLib->GetTypeInfoOfGuid(guid, out);
}

STDMETHODIMP OleControl::GetTypeInfoCount(UINT* count) { return CopyOut(count, 1u); }

STDMETHODIMP OleControl::GetTypeInfo(UINT index, LCID, ITypeInfo** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return LoadTypeInfo(*m_info.dispatchIid, out);
}

STDMETHODIMP OleControl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    ComPtr<ITypeInfo> info;
    HRESULT hr = LoadTypeInfo(*m_info.dispatchIid, info.put());
    if (FAILED(hr)) return hr;
    return info->GetIDsOfNames(names, count, ids);
}

STDMETHODIMP OleControl::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                EXCEPINFO*, UINT* argErr)
{
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    // The control stays alive while a method runs, even when a sink releases it.
    ComPtr<IDispatch> self(static_cast<IDispatch*>(this));
    return Barrier("OleControl::Invoke", [&] { return InvokeMember(id, flags, params, result, argErr); });
}

// ---- events and class information ----

STDMETHODIMP OleControl::EnumConnectionPoints(IEnumConnectionPoints** out)
{
    return EnumOneConnectionPoint(&m_events, out);
}

STDMETHODIMP OleControl::FindConnectionPoint(REFIID iid, IConnectionPoint** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, m_events.EventIid())) return CONNECT_E_NOCONNECTION;
    *out = &m_events;
    (*out)->AddRef();
    return S_OK;
}

STDMETHODIMP OleControl::GetClassInfo(ITypeInfo** out) { return LoadTypeInfo(*m_info.clsid, out); }

STDMETHODIMP OleControl::GetGUID(DWORD kind, GUID* out)
{
    if (!out) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *out = *m_info.eventIid;
    return S_OK;
}

// ---- IOleObject ----

STDMETHODIMP OleControl::SetClientSite(IOleClientSite* site)
{
    if (!site) {
        InPlaceDeactivate();
        m_inPlaceSite.reset();
    }
    m_clientSite = ComPtr<IOleClientSite>(site);
    return S_OK;
}

STDMETHODIMP OleControl::GetClientSite(IOleClientSite** out)
{
    if (!out) return E_POINTER;
    *out = ComPtr<IOleClientSite>(m_clientSite).detach();
    return S_OK;
}

STDMETHODIMP OleControl::Close(DWORD)
{
    InPlaceDeactivate();
    if (m_adviseHolder) m_adviseHolder->SendOnClose();
    return S_OK;
}

STDMETHODIMP OleControl::DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG, HWND, LPCRECT posRect)
{
    return Barrier("OleControl::DoVerb", [&]() -> HRESULT {
        if (site && !m_clientSite) m_clientSite = ComPtr<IOleClientSite>(site);
        switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE: {
            m_verbPos = posRect;
            struct ForgetPosition {
                const RECT*& slot;
                ~ForgetPosition() { slot = nullptr; }
            } forget{m_verbPos};
            return OnActivateInPlace(verb == OLEIVERB_PRIMARY || verb == OLEIVERB_UIACTIVATE, msg);
        }
        case OLEIVERB_HIDE:
            if (m_hwnd) ShowWindow(m_hwnd, SW_HIDE);
            return S_OK;
        case OLEIVERB_PROPERTIES: {
            if (m_info.propertyPageCount == 0) return E_NOTIMPL;
            IUnknown* self = static_cast<IDispatch*>(this);
            return OleCreatePropertyFrame(m_hwnd ? GetParent(m_hwnd) : nullptr, 0, 0, L"", 1, &self,
                                          m_info.propertyPageCount, const_cast<CLSID*>(m_info.propertyPages),
                                          LOCALE_USER_DEFAULT, 0, nullptr);
        }
        default:
            return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
        }
    });
}

HRESULT OleControl::ActivateInPlace(bool uiActivate, MSG*)
{
    if (!m_clientSite) return E_UNEXPECTED;
    if (!m_inPlaceSite) {
        ComPtr<IOleInPlaceSite> site;
        if (FAILED(m_clientSite.As(IID_IOleInPlaceSite, site))) return E_NOINTERFACE;
        if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
        site->OnInPlaceActivate();
        m_inPlaceSite = site;
    }
    if (!m_hwnd) {
        HWND parent = nullptr;
        if (FAILED(m_inPlaceSite->GetWindow(&parent)) || !parent) return E_FAIL;
        RECT pos{}, clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof(frameInfo);
        m_inPlaceSite->GetWindowContext(m_frame.put(), m_document.put(), &pos, &clip, &frameInfo);
        if (m_verbPos) pos = *m_verbPos;
        if (!CreateControlWindow(parent, pos)) return E_FAIL;
    }
    ShowWindow(m_hwnd, SW_SHOW);
    if (uiActivate && !m_uiActive) UIActivate();
    return S_OK;
}

void OleControl::UIActivate()
{
    m_uiActive = true;
    m_inPlaceSite->OnUIActivate();
    // The frame and document send keys to the active object's TranslateAccelerator.
    auto* active = static_cast<IOleInPlaceActiveObject*>(this);
    if (m_frame) m_frame->SetActiveObject(active, nullptr);
    if (m_document) m_document->SetActiveObject(active, nullptr);
}

STDMETHODIMP OleControl::EnumVerbs(IEnumOLEVERB** out) { return OleRegEnumVerbs(*m_info.clsid, out); }

STDMETHODIMP OleControl::GetUserClassID(CLSID* out) { return CopyOut(out, *m_info.clsid); }

STDMETHODIMP OleControl::GetUserType(DWORD form, LPOLESTR* out) { return OleRegGetUserType(*m_info.clsid, form, out); }

STDMETHODIMP OleControl::SetExtent(DWORD aspect, SIZEL* size)
{
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    m_extent = *size;
    return S_OK;
}

STDMETHODIMP OleControl::GetExtent(DWORD aspect, SIZEL* size)
{
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    *size = m_extent;
    return S_OK;
}

STDMETHODIMP OleControl::Advise(IAdviseSink* sink, DWORD* cookie)
{
    if (!m_adviseHolder) {
        HRESULT hr = CreateOleAdviseHolder(m_adviseHolder.put());
        if (FAILED(hr)) return hr;
    }
    return m_adviseHolder->Advise(sink, cookie);
}

STDMETHODIMP OleControl::Unadvise(DWORD cookie)
{
    return m_adviseHolder ? m_adviseHolder->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

STDMETHODIMP OleControl::EnumAdvise(IEnumSTATDATA** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    return m_adviseHolder ? m_adviseHolder->EnumAdvise(out) : E_FAIL;
}

STDMETHODIMP OleControl::GetMiscStatus(DWORD, DWORD* status) { return CopyOut(status, m_info.miscStatus); }

// ---- in-place object ----

STDMETHODIMP OleControl::GetWindow(HWND* out)
{
    if (!out) return E_POINTER;
    *out = m_hwnd;
    return m_hwnd ? S_OK : E_FAIL;
}

STDMETHODIMP OleControl::InPlaceDeactivate()
{
    UIDeactivate();
    if (m_hwnd) DestroyWindow(m_hwnd);
    m_frame.reset();
    m_document.reset();
    if (m_inPlaceSite) {
        ComPtr<IOleInPlaceSite> site = m_inPlaceSite;
        m_inPlaceSite.reset();
        site->OnInPlaceDeactivate();
    }
    return S_OK;
}

STDMETHODIMP OleControl::UIDeactivate()
{
    if (!m_uiActive) return S_OK;
    m_uiActive = false;
    if (m_frame) m_frame->SetActiveObject(nullptr, nullptr);
    if (m_document) m_document->SetActiveObject(nullptr, nullptr);
    if (m_inPlaceSite) m_inPlaceSite->OnUIDeactivate(FALSE);
    return S_OK;
}

STDMETHODIMP OleControl::TranslateAccelerator(LPMSG msg)
{
    if (!msg) return S_FALSE;
    return Barrier("OleControl::TranslateAccelerator", [&] { return PreTranslateMessage(msg) ? S_OK : S_FALSE; });
}

STDMETHODIMP OleControl::SetObjectRects(LPCRECT pos, LPCRECT)
{
    if (!pos) return E_POINTER;
    if (m_hwnd) MoveWindow(m_hwnd, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
    return S_OK;
}

STDMETHODIMP OleControl::GetControlInfo(CONTROLINFO* info)
{
    if (!info) return E_POINTER;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

STDMETHODIMP OleControl::GetPages(CAUUID* pages)
{
    if (!pages) return E_POINTER;
    pages->cElems = 0;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID) * (m_info.propertyPageCount + 1)));
    if (!pages->pElems) return E_OUTOFMEMORY;
    for (ULONG i = 0; i < m_info.propertyPageCount; ++i) pages->pElems[i] = m_info.propertyPages[i];
    pages->cElems = m_info.propertyPageCount;
    return S_OK;
}

} // namespace activex
