// OleControl with a control of the test's own: its interfaces and aliases, the barrier
// around Invoke and the window procedure, and the hooks of a control whose window is
// of its own class, hosted by atl.dll the way a container hosts it.
#include <gtest/gtest.h>
#include <objsafe.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

#include "activex/dispatch_table.h"
#include "activex/ole_control.h"
#include "activex/ole_misc.h"
#include "barrier_log.h"

using activex::ComPtr;

namespace {

const GUID kClsid = {0x6f1d2c40, 0x81aa, 0x4b7e, {0xb5, 0x0c, 0x2d, 0x44, 0x90, 0x1e, 0x7a, 0x01}};
const GUID kDispatchIid = {0x6f1d2c40, 0x81aa, 0x4b7e, {0xb5, 0x0c, 0x2d, 0x44, 0x90, 0x1e, 0x7a, 0x02}};
const GUID kEventIid = {0x6f1d2c40, 0x81aa, 0x4b7e, {0xb5, 0x0c, 0x2d, 0x44, 0x90, 0x1e, 0x7a, 0x03}};
const GUID kLibid = {0x6f1d2c40, 0x81aa, 0x4b7e, {0xb5, 0x0c, 0x2d, 0x44, 0x90, 0x1e, 0x7a, 0x04}};

HMODULE TestModule() { return GetModuleHandleW(nullptr); }

const activex::ControlInfo kInfo = {&kClsid, &kDispatchIid, &kEventIid, &kLibid, &TestModule,
                                    activex::kControlMiscStatus, 0x00010000, nullptr, 0, nullptr};
// The same control in a subclassed system window, as orvex's.
const activex::ControlInfo kButtonInfo = {&kClsid, &kDispatchIid, &kEventIid, &kLibid, &TestModule,
                                          activex::kControlMiscStatus, 0x00010000, nullptr, 0, L"BUTTON"};

constexpr DISPID kThrowOutOfMemory = 1, kThrowLogic = 2, kAnswer = 3;
constexpr UINT kCloseFlagMessage = WM_USER + 100;
constexpr UINT kThrowingMessage = WM_APP + 1;

// A control like the batch control: a window of its own class that activates in place
// from WM_CREATE behind a re-entry guard, a private message that fires a VT_I2 event,
// and keys it takes before the container.
class CProbeCtrl : public activex::Implements<CProbeCtrl, activex::OleControl, IObjectSafety> {
public:
    static constexpr activex::QiAlias kAliases[] = {{&kDispatchIid, &IID_IDispatch}};

    explicit CProbeCtrl(const activex::ControlInfo& info = kInfo) : Implements(info) {}

    STDMETHODIMP GetInterfaceSafetyOptions(REFIID, DWORD*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP SetInterfaceSafetyOptions(REFIID, DWORD, DWORD) override { return E_NOTIMPL; }

    HWND WindowAtCreate = nullptr;
    int Activations = 0;
    int RefusedReentries = 0;

private:
    HRESULT InvokeMember(DISPID id, WORD, DISPPARAMS*, VARIANT* result, UINT*) override
    {
        if (id == kThrowOutOfMemory) throw std::bad_alloc();
        if (id == kThrowLogic) throw std::logic_error("probe fault");
        if (id != kAnswer) return DISP_E_MEMBERNOTFOUND;
        activex::SetLongResult(result, 42);
        return S_OK;
    }

    HRESULT OnActivateInPlace(bool uiActivate, MSG* msg) override
    {
        if (m_activating) {
            ++RefusedReentries;
            return S_OK;
        }
        ++Activations;
        m_activating = true;
        const HRESULT hr = ActivateInPlace(uiActivate, msg);
        m_activating = false;
        return hr;
    }

    bool OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT&) override
    {
        if (msg == WM_CREATE) {
            WindowAtCreate = ControlWindow();
            OnActivateInPlace(true, nullptr);
        } else if (msg == kCloseFlagMessage) {
            VARIANTARG flag;
            V_VT(&flag) = VT_I2;
            V_I2(&flag) = static_cast<SHORT>(LOWORD(wp));
            FireEvent(1, &flag, 1);
        } else if (msg == kThrowingMessage) {
            throw std::bad_alloc();
        }
        return false;
    }

    bool PreTranslateMessage(MSG* msg) override { return msg->message == WM_KEYDOWN && msg->wParam == VK_HOME; }

    bool m_activating = false;
};

// Records the event's argument types and values.
class CEventSink : public activex::Implements<CEventSink, IDispatch> {
public:
    std::vector<VARTYPE> Types;
    std::vector<SHORT> Values;

    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        for (UINT i = 0; i < params->cArgs; ++i) {
            Types.push_back(V_VT(&params->rgvarg[i]));
            Values.push_back(V_I2(&params->rgvarg[i]));
        }
        return S_OK;
    }
};

// A client site with ambient properties: DISPID_AMBIENT_BACKCOLOR is `color`.
class CAmbientSite : public activex::Implements<CAmbientSite, IOleClientSite, IDispatch> {
public:
    explicit CAmbientSite(VARIANT color) : m_color(color) {}

    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                        UINT*) override
    {
        if (id != DISPID_AMBIENT_BACKCOLOR || !(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
        *result = m_color;
        return S_OK;
    }

private:
    VARIANT m_color;
};

ComPtr<IDispatch> MakeProbe()
{
    ComPtr<IDispatch> control;
    activex::CreateObject<CProbeCtrl>(IID_IDispatch, control.put_void());
    return control;
}

void* Query(IUnknown* object, REFIID iid)
{
    void* out = nullptr;
    if (FAILED(object->QueryInterface(iid, &out))) return nullptr;
    static_cast<IUnknown*>(out)->Release();
    return out;
}

TEST(OleControl, AnswersItsInterfacesAndAliasesWithOneIdentity)
{
    ComPtr<IDispatch> control = MakeProbe();
    ASSERT_TRUE(control);
    void* identity = Query(control.get(), IID_IUnknown);
    EXPECT_EQ(static_cast<void*>(control.get()), identity);
    const IID* interfaces[] = {&IID_IConnectionPointContainer, &IID_IProvideClassInfo, &IID_IProvideClassInfo2,
                               &IID_IOleObject, &IID_IOleWindow, &IID_IOleInPlaceObject,
                               &IID_IOleInPlaceActiveObject, &IID_IOleControl, &IID_IViewObject, &IID_IViewObject2,
                               &IID_IPersist, &IID_IPersistStreamInit, &IID_IPersistPropertyBag,
                               &IID_ISpecifyPropertyPages, &IID_IObjectSafety};
    for (const IID* iid : interfaces) {
        auto* answer = static_cast<IUnknown*>(Query(control.get(), *iid));
        ASSERT_NE(nullptr, answer);
        EXPECT_EQ(identity, Query(answer, IID_IUnknown));
    }
    EXPECT_EQ(identity, Query(control.get(), kDispatchIid)) << "the dispinterface is IDispatch";
    EXPECT_EQ(Query(control.get(), IID_IOleInPlaceObject), Query(control.get(), IID_IOleWindow));
    EXPECT_EQ(nullptr, Query(control.get(), IID_IPersistStorage));

    // The connection point lives inside the control and shares its count.
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(S_OK, control.As(IID_IConnectionPointContainer, container));
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(S_OK, container->FindConnectionPoint(kEventIid, point.put()));
    EXPECT_EQ(static_cast<void*>(point.get()), Query(point.get(), IID_IUnknown));
    EXPECT_EQ(nullptr, Query(point.get(), IID_IDispatch));
    const ULONG controlRefs = control->AddRef();
    EXPECT_EQ(controlRefs + 1, point->AddRef());
    point->Release();
    control->Release();
}

TEST(OleControl, ExceptionsFromMethodsBecomeResultsAndTheControlGoesOn)
{
    activex_test::BarrierLines log;
    ComPtr<IDispatch> control = MakeProbe();
    ASSERT_TRUE(control);
    DISPPARAMS none{};
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(E_OUTOFMEMORY, control->Invoke(kThrowOutOfMemory, IID_NULL, 0, DISPATCH_METHOD, &none, &result,
                                             nullptr, nullptr));
    EXPECT_EQ(E_UNEXPECTED, control->Invoke(kThrowLogic, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr,
                                            nullptr));
    ASSERT_EQ(2u, log.Lines().size());
    EXPECT_EQ("OleControl::Invoke: exception caught (std::bad_alloc), returning E_OUTOFMEMORY.", log.Lines()[0]);
    EXPECT_EQ("OleControl::Invoke: exception caught (probe fault), returning E_UNEXPECTED.", log.Lines()[1]);
    // The control goes on working.
    EXPECT_EQ(S_OK, control->Invoke(kAnswer, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr));
    EXPECT_EQ(42, V_I4(&result));
}

// A child window for atl.dll to host a control in.
LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd, msg, wp, lp); }

class HostedProbe : public ::testing::Test {
protected:
    void SetUp() override { Host(kInfo); }
    void Host(const activex::ControlInfo& info)
    {
        CoInitialize(nullptr);
        m_atl.reset(LoadLibraryW(L"atl.dll"));
        ASSERT_TRUE(m_atl);
        using AttachFn = HRESULT(WINAPI*)(IUnknown*, HWND, IUnknown**);
        auto attach = reinterpret_cast<AttachFn>(
            reinterpret_cast<void*>(GetProcAddress(m_atl.get(), "AtlAxAttachControl")));
        ASSERT_TRUE(attach);
        WNDCLASSW plain{};
        plain.lpfnWndProc = PlainProc;
        plain.hInstance = GetModuleHandleW(nullptr);
        plain.lpszClassName = L"ActivexTestHost";
        RegisterClassW(&plain);
        m_frame = CreateWindowExW(0, L"ActivexTestHost", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        m_host = CreateWindowExW(0, L"ActivexTestHost", L"", WS_CHILD | WS_VISIBLE, 10, 10, 120, 80, m_frame, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(m_host);
        ASSERT_EQ(S_OK, activex::CreateObject<CProbeCtrl>(IID_IDispatch, m_control.put_void(), info));
        probe = static_cast<CProbeCtrl*>(m_control.get());
        ASSERT_EQ(S_OK, attach(m_control.get(), m_host, m_container.put()));
        ComPtr<IOleWindow> window;
        ASSERT_EQ(S_OK, m_control.As(IID_IOleWindow, window));
        ASSERT_EQ(S_OK, window->GetWindow(&controlWindow)) << "in-place active";
    }
    void TearDown() override
    {
        DestroyHost();
        m_container.reset();
        m_control.reset();
        CoUninitialize();
    }
    void DestroyHost()
    {
        if (m_frame) DestroyWindow(std::exchange(m_frame, nullptr));
    }

    CProbeCtrl* probe = nullptr;
    HWND controlWindow = nullptr;

private:
    activex::UniqueHModule m_atl;
    HWND m_frame = nullptr;
    HWND m_host = nullptr;
    ComPtr<IDispatch> m_control;
    ComPtr<IUnknown> m_container;
};

COLORREF PixelDrawnBy(const std::function<void(HDC, const RECT&)>& draw)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT bounds{0, 0, 16, 16};
    draw(dc, bounds);
    const COLORREF pixel = GetPixel(dc, 8, 8);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixel;
}

// The private message fires a VT_I2 event with its wParam's low 16 bits.
void ExpectPrivateMessageFiresShortEvents(IDispatch* control, HWND window)
{
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(S_OK, control->QueryInterface(IID_IConnectionPointContainer, container.put_void()));
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(S_OK, container->FindConnectionPoint(kEventIid, point.put()));
    ComPtr<IDispatch> sink;
    ASSERT_EQ(S_OK, activex::CreateObject<CEventSink>(IID_IDispatch, sink.put_void()));
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, point->Advise(sink.get(), &cookie));
    SendMessageW(window, kCloseFlagMessage, 0xFFFF, 0);
    SendMessageW(window, kCloseFlagMessage, 1, 0);
    auto* recorder = static_cast<CEventSink*>(sink.get());
    EXPECT_EQ((std::vector<VARTYPE>{VT_I2, VT_I2}), recorder->Types);
    EXPECT_EQ((std::vector<SHORT>{-1, 1}), recorder->Values);
    point->Unadvise(cookie);
}

TEST_F(HostedProbe, WindowOfItsOwnClassCreatedThroughTheHooks)
{
    wchar_t className[64] = L"";
    GetClassNameW(controlWindow, className, 64);
    EXPECT_STREQ(L"ActiveXControlWindow", className);
    EXPECT_EQ(controlWindow, probe->WindowAtCreate) << "the window is known at WM_CREATE";
    EXPECT_EQ(1, probe->Activations);
    EXPECT_EQ(1, probe->RefusedReentries) << "WM_CREATE's activation ran inside the container's";

    // atl's site has no ambient properties: the system's window colour.
    const COLORREF painted = PixelDrawnBy(
        [&](HDC dc, const RECT&) { SendMessageW(controlWindow, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), 0); });
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), painted);

    ExpectPrivateMessageFiresShortEvents(static_cast<IDispatch*>(probe), controlWindow);

    // An exception in the window procedure ends in the default handling.
    activex_test::BarrierLines log;
    EXPECT_EQ(0, SendMessageW(controlWindow, kThrowingMessage, 0, 0));
    ASSERT_EQ(1u, log.Lines().size());
    EXPECT_EQ("OleControl::WindowProc: exception caught (std::bad_alloc), default handling.", log.Lines()[0]);
    EXPECT_TRUE(IsWindow(controlWindow));
}

TEST_F(HostedProbe, SubclassedSystemWindowSeesItsMessagesUntilDestroyed)
{
    TearDown();
    Host(kButtonInfo);
    wchar_t className[64] = L"";
    GetClassNameW(controlWindow, className, 64);
    EXPECT_EQ(0, _wcsicmp(L"Button", className));
    EXPECT_EQ(nullptr, probe->WindowAtCreate) << "subclassed after its creation";
    ExpectPrivateMessageFiresShortEvents(static_cast<IDispatch*>(probe), controlWindow);
    DestroyHost();
    EXPECT_FALSE(IsWindow(controlWindow));
    ComPtr<IOleWindow> window;
    ASSERT_EQ(S_OK, static_cast<IDispatch*>(probe)->QueryInterface(IID_IOleWindow, window.put_void()));
    HWND after = nullptr;
    EXPECT_EQ(E_FAIL, window->GetWindow(&after)) << "the control forgot its window";
}

TEST_F(HostedProbe, KeysReachPreTranslateMessageThroughTheActiveObject)
{
    ComPtr<IOleInPlaceActiveObject> active;
    ASSERT_EQ(S_OK, static_cast<IDispatch*>(probe)->QueryInterface(IID_IOleInPlaceActiveObject, active.put_void()));
    MSG home{controlWindow, WM_KEYDOWN, VK_HOME, 0, 0, {}};
    MSG letter{controlWindow, WM_KEYDOWN, 'A', 0, 0, {}};
    EXPECT_EQ(S_OK, active->TranslateAccelerator(&home));
    EXPECT_EQ(S_FALSE, active->TranslateAccelerator(&letter));
}

TEST(OleControl, DrawsWithTheAmbientBackgroundColour)
{
    struct Case {
        VARTYPE type;
        ULONG value;
        COLORREF expected;
    };
    const Case cases[] = {
        {VT_I4, RGB(10, 20, 30), RGB(10, 20, 30)},
        {VT_I4, 0x80000000 | COLOR_HIGHLIGHT, GetSysColor(COLOR_HIGHLIGHT)},  // a system colour, negative as VT_I4
        {VT_UI4, 0x80000000 | COLOR_BTNFACE, GetSysColor(COLOR_BTNFACE)},
    };
    for (const Case& c : cases) {
        ComPtr<IDispatch> control = MakeProbe();
        ASSERT_TRUE(control);
        VARIANT color;
        V_VT(&color) = c.type;
        V_UI4(&color) = c.value;
        ComPtr<IOleClientSite> site;
        ASSERT_EQ(S_OK, activex::CreateObject<CAmbientSite>(IID_IOleClientSite, site.put_void(), color));
        ComPtr<IOleObject> object;
        ASSERT_EQ(S_OK, control.As(IID_IOleObject, object));
        object->SetClientSite(site.get());
        ComPtr<IViewObject> view;
        ASSERT_EQ(S_OK, control.As(IID_IViewObject, view));
        const COLORREF painted = PixelDrawnBy([&](HDC dc, const RECT& bounds) {
            const RECTL boundsL{bounds.left, bounds.top, bounds.right, bounds.bottom};
            EXPECT_EQ(S_OK, view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &boundsL, nullptr,
                                       nullptr, 0));
        });
        EXPECT_EQ(c.expected, painted) << c.value;
        object->SetClientSite(nullptr);
    }
}

} // namespace
