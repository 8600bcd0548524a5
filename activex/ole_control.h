// The base of our ActiveX controls: IDispatch over the type library with a derived
// class's dispatch table, one event connection point, and the OLE interfaces that
// containers and script hosts query, minimal but enough for in-place activation.
//
// A control lists OleControl first in its Implements<> (com_object.h), with its own
// further interfaces and an alias table that maps its dispinterface's IID to IDispatch:
//
//   class CMyCtrl : public activex::Implements<CMyCtrl, activex::OleControl, IObjectSafety> {
//   public:
//       static constexpr activex::QiAlias kAliases[] = {{&DIID__DMy, &IID_IDispatch}};
//       CMyCtrl() : Implements(kMyControlInfo) {}
//       HRESULT InvokeMember(...) override;   // its methods by DISPID
//   };
//
// Hooks for what a control does beyond that (see the protected part): its window is a
// subclassed system window or one of a window class of its own (ControlInfo), it sees
// that window's messages first (OnMessage), paints (OnDraw), translates keys before
// its container (PreTranslateMessage) and may wrap its in-place activation
// (OnActivateInPlace). Every entry point runs behind the exception barrier.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include "com_object.h"
#include "connection_point.h"
#include "raii.h"

namespace activex {

struct ControlInfo {
    const CLSID* clsid;
    const IID* dispatchIid;
    const IID* eventIid;
    const GUID* libid;
    HMODULE (*module)();           // the module holding the type library and resources
    DWORD miscStatus;
    DWORD persistVersion;          // written first by the persistence interfaces
    const CLSID* propertyPages;
    ULONG propertyPageCount;
    // The control's window: a system window class (e.g. L"BUTTON") that OleControl
    // subclasses, or null for a window class of the control's own, which OleControl
    // registers for the module and which paints through OnDraw.
    const wchar_t* windowClass;
};

class OleControl : public InterfaceGroup<IDispatch, IConnectionPointContainer, IProvideClassInfo2, IOleObject,
                                         IOleInPlaceObject, IOleInPlaceActiveObject, IOleControl, IViewObject2,
                                         IPersistStreamInit, IPersistPropertyBag, ISpecifyPropertyPages> {
public:
    // Interfaces that the list above names only by a derived interface.
    static constexpr QiAlias kAliases[] = {
        {&IID_IProvideClassInfo, &IID_IProvideClassInfo2},
        {&IID_IOleWindow, &IID_IOleInPlaceObject},
        {&IID_IViewObject, &IID_IViewObject2},
        {&IID_IPersist, &IID_IPersistStreamInit},
    };

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** out) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excep, UINT* argErr) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** out) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* out) override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** out) override;
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                        LPCRECT posRect) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** out) override;
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* out) override;
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* out) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** out) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
    STDMETHODIMP GetWindow(HWND* out) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }
    // S_OK when PreTranslateMessage handled the message.
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
    STDMETHODIMP OnMnemonic(MSG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnAmbientPropertyChange(DISPID) override { return S_OK; }
    STDMETHODIMP FreezeEvents(BOOL) override { return S_OK; }

    // IViewObject2
    STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target, HDC targetDc,
                      HDC drawDc, LPCRECTL bounds, LPCRECTL wBounds, BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR),
                      ULONG_PTR contArg) override;
    STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override { return E_NOTIMPL; }
    STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* target, LPSIZEL size) override;

    // IPersist, IPersistStreamInit, IPersistPropertyBag
    STDMETHODIMP GetClassID(CLSID* out) override;
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP Load(IStream* stream) override;
    STDMETHODIMP Save(IStream* stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew() override { return S_OK; }
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

    // ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;

protected:
    explicit OleControl(const ControlInfo& info);
    virtual ~OleControl();
    OleControl(const OleControl&) = delete;
    OleControl& operator=(const OleControl&) = delete;

    // The control's methods by DISPID (behind Invoke's barrier).
    virtual HRESULT InvokeMember(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, UINT* argErr) = 0;

    // Called once the window exists (after its WM_CREATE); false destroys it again and
    // fails the activation.
    virtual bool OnWindowCreated(HWND) { return true; }

    // Every message to the control's window comes here first (WM_NCCREATE and
    // WM_NCDESTROY excepted); true when handled, with `result` as the answer. Otherwise
    // the default handling follows: the system class's own procedure, or for a window
    // class of the control's own, painting through OnDraw and DefWindowProc. A window
    // of its own gets WM_CREATE here, with ControlWindow() already set.
    virtual bool OnMessage(UINT /*msg*/, WPARAM, LPARAM, LRESULT& /*result*/) { return false; }

    // Paints a window of the control's own class (WM_PAINT, WM_PRINTCLIENT) and the
    // control's picture for IViewObject::Draw, into `bounds`. By default a solid fill
    // with the ambient background colour.
    virtual void OnDraw(HDC dc, const RECT& bounds);

    // Called from IOleInPlaceActiveObject::TranslateAccelerator with a message of the
    // container's loop before the container translates it; true when handled.
    virtual bool PreTranslateMessage(MSG* /*msg*/) { return false; }

    // Every in-place activation request (the activating verbs of DoVerb, and whatever
    // the derived class asks for) goes through here; a derived class may wrap it, e.g.
    // to refuse re-entry, and call ActivateInPlace to do the work. `uiActivate`: also
    // UI-activate (the frame then routes keys through TranslateAccelerator).
    virtual HRESULT OnActivateInPlace(bool uiActivate, MSG* msg) { return ActivateInPlace(uiActivate, msg); }
    HRESULT ActivateInPlace(bool uiActivate, MSG* msg);

    // The container's ambient background colour (DISPID_AMBIENT_BACKCOLOR of the client
    // site's IDispatch) as an RGB value; the system's window colour when the site has
    // no ambient properties.
    COLORREF AmbientBackColor();

    HWND ControlWindow() const { return m_hwnd; }
    // Fires `id` of the event interface with `args` given in reverse order (any
    // VARIANT types, e.g. VT_I2 for a short).
    void FireEvent(DISPID id, VARIANTARG* args, UINT argCount) { m_events.Fire(id, args, argCount); }

private:
    HRESULT LoadTypeInfo(REFGUID guid, ITypeInfo** out);
    bool CreateControlWindow(HWND parent, const RECT& pos);
    void UIActivate();
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultHandling(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    const ControlInfo& m_info;
    ConnectionPoint m_events;
    ComPtr<IOleClientSite> m_clientSite;
    ComPtr<IOleInPlaceSite> m_inPlaceSite;
    ComPtr<IOleInPlaceFrame> m_frame;
    ComPtr<IOleInPlaceUIWindow> m_document;
    ComPtr<IOleAdviseHolder> m_adviseHolder;
    ComPtr<IAdviseSink> m_viewSink;
    DWORD m_viewAspects = 0;
    DWORD m_viewFlags = 0;
    HWND m_hwnd = nullptr;
    WNDPROC m_baseProc = nullptr;        // the system class's procedure of a subclassed window
    const RECT* m_verbPos = nullptr;     // the position DoVerb was given, while it runs
    bool m_uiActive = false;
    SIZEL m_extent{2540, 2540};
};

} // namespace activex
