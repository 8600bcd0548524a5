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

void* OleControl::FindBaseInterface(REFIID iid)
{
    struct Entry { const IID* iid; void* (*cast)(OleControl*); };
    static const Entry kTable[] = {
        {&IID_IUnknown, [](OleControl* c) -> void* { return static_cast<IDispatch*>(c); }},
        {&IID_IDispatch, [](OleControl* c) -> void* { return static_cast<IDispatch*>(c); }},
        {&IID_IConnectionPointContainer, [](OleControl* c) -> void* { return static_cast<IConnectionPointContainer*>(c); }},
        {&IID_IProvideClassInfo, [](OleControl* c) -> void* { return static_cast<IProvideClassInfo2*>(c); }},
        {&IID_IProvideClassInfo2, [](OleControl* c) -> void* { return static_cast<IProvideClassInfo2*>(c); }},
        {&IID_IOleObject, [](OleControl* c) -> void* { return static_cast<IOleObject*>(c); }},
        {&IID_IOleWindow, [](OleControl* c) -> void* { return static_cast<IOleInPlaceObject*>(c); }},
        {&IID_IOleInPlaceObject, [](OleControl* c) -> void* { return static_cast<IOleInPlaceObject*>(c); }},
        {&IID_IOleInPlaceActiveObject, [](OleControl* c) -> void* { return static_cast<IOleInPlaceActiveObject*>(c); }},
        {&IID_IOleControl, [](OleControl* c) -> void* { return static_cast<IOleControl*>(c); }},
        {&IID_IViewObject, [](OleControl* c) -> void* { return static_cast<IViewObject2*>(c); }},
        {&IID_IViewObject2, [](OleControl* c) -> void* { return static_cast<IViewObject2*>(c); }},
        {&IID_IPersist, [](OleControl* c) -> void* { return static_cast<IPersistStreamInit*>(c); }},
        {&IID_IPersistStreamInit, [](OleControl* c) -> void* { return static_cast<IPersistStreamInit*>(c); }},
        {&IID_IPersistPropertyBag, [](OleControl* c) -> void* { return static_cast<IPersistPropertyBag*>(c); }},
        {&IID_ISpecifyPropertyPages, [](OleControl* c) -> void* { return static_cast<ISpecifyPropertyPages*>(c); }},
    };
    if (IsEqualIID(iid, *m_info.dispatchIid)) return static_cast<IDispatch*>(this);
    for (const Entry& e : kTable)
        if (IsEqualIID(iid, *e.iid)) return e.cast(this);
    return nullptr;
}

STDMETHODIMP OleControl::QueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = FindInterface(iid);
    if (!*out) *out = FindBaseInterface(iid);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) OleControl::AddRef() { return ++m_refs; }

STDMETHODIMP_(ULONG) OleControl::Release()
{
    ULONG left = --m_refs;
    if (left == 0) delete this;
    return left;
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

STDMETHODIMP OleControl::GetTypeInfoCount(UINT* count)
{
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

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
    return InvokeMember(id, flags, params, result, argErr);
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
    AddRef();
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

STDMETHODIMP OleControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT posRect)
{
    if (site && !m_clientSite) m_clientSite = ComPtr<IOleClientSite>(site);
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
        return InPlaceActivate(verb, posRect);
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
}

HRESULT OleControl::InPlaceActivate(LONG verb, LPCRECT posRect)
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
        ComPtr<IOleInPlaceFrame> frame;
        ComPtr<IOleInPlaceUIWindow> doc;
        RECT pos{}, clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof(frameInfo);
        m_inPlaceSite->GetWindowContext(frame.put(), doc.put(), &pos, &clip, &frameInfo);
        if (posRect) pos = *posRect;
        if (!CreateControlWindow(parent, pos)) return E_FAIL;
    }
    ShowWindow(m_hwnd, SW_SHOW);
    if ((verb == OLEIVERB_PRIMARY || verb == OLEIVERB_UIACTIVATE) && !m_uiActive) {
        m_uiActive = true;
        m_inPlaceSite->OnUIActivate();
    }
    return S_OK;
}

bool OleControl::CreateControlWindow(HWND parent, const RECT& pos)
{
    HWND hwnd = CreateWindowExW(0, m_info.windowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, pos.left,
                                pos.top, pos.right - pos.left, pos.bottom - pos.top, parent, nullptr,
                                m_info.module(), nullptr);
    if (!hwnd) return false;
    // Subclass the system window so that reflected notifications reach us.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_baseProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OleControl::SubclassProc)));
    m_hwnd = hwnd;
    if (!OnWindowCreated(hwnd)) {
        DestroyWindow(hwnd);
        return false;
    }
    return true;
}

LRESULT CALLBACK OleControl::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = reinterpret_cast<OleControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    WNDPROC base = self ? self->m_baseProc : DefWindowProcW;
    // Notifications reflected back by the container (OCM_COMMAND): nothing to do.
    if (msg == OCM__BASE + WM_COMMAND) return 0;
    if (msg == WM_NCDESTROY && self) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
    }
    return CallWindowProcW(base, hwnd, msg, wp, lp);
}

STDMETHODIMP OleControl::EnumVerbs(IEnumOLEVERB** out) { return OleRegEnumVerbs(*m_info.clsid, out); }

STDMETHODIMP OleControl::GetUserClassID(CLSID* out)
{
    if (!out) return E_POINTER;
    *out = *m_info.clsid;
    return S_OK;
}

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

STDMETHODIMP OleControl::GetMiscStatus(DWORD, DWORD* status)
{
    if (!status) return E_POINTER;
    *status = m_info.miscStatus;
    return S_OK;
}

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
    if (m_inPlaceSite) {
        ComPtr<IOleInPlaceSite> site = m_inPlaceSite;
        m_inPlaceSite.reset();
        site->OnInPlaceDeactivate();
    }
    return S_OK;
}

STDMETHODIMP OleControl::UIDeactivate()
{
    if (m_uiActive && m_inPlaceSite) m_inPlaceSite->OnUIDeactivate(FALSE);
    m_uiActive = false;
    return S_OK;
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
