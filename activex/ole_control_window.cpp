// OleControl: the control's window (a subclassed system window or one of the control's
// own window class), its messages, painting and the ambient background colour.
#include "ole_control.h"

namespace activex {
namespace {

// The control's own window class. Window classes of a DLL outlive it unless they are
// unregistered, so the class goes when the module's statics are torn down.
constexpr wchar_t kOwnWindowClass[] = L"ActiveXControlWindow";

class OwnWindowClass {
public:
    OwnWindowClass(HINSTANCE module, WNDPROC proc) : m_module(module)
    {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = proc;
        wc.hInstance = module;
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = kOwnWindowClass;
        m_registered = RegisterClassExW(&wc) != 0;
    }
    ~OwnWindowClass()
    {
        if (m_registered) UnregisterClassW(kOwnWindowClass, m_module);
    }
    OwnWindowClass(const OwnWindowClass&) = delete;
    OwnWindowClass& operator=(const OwnWindowClass&) = delete;
    bool Registered() const { return m_registered; }

private:
    HINSTANCE m_module;
    bool m_registered = false;
};

bool EnsureOwnWindowClass(HINSTANCE module, WNDPROC proc)
{
    static const OwnWindowClass windowClass(module, proc);  // once per module, on any thread
    return windowClass.Registered();
}

class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : m_hwnd(hwnd), m_dc(BeginPaint(hwnd, &m_paint)) {}
    ~PaintScope() { EndPaint(m_hwnd, &m_paint); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Dc() const { return m_dc; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

// An OLE_COLOR from an ambient property: VT_I4 or VT_UI4 as its 32-bit pattern (system
// colours have the high bit set), other types converted.
bool ColorFromVariant(VARIANT& value, OLE_COLOR& out)
{
    if (V_VT(&value) == VT_UI4 || V_VT(&value) == VT_UINT) {
        out = V_UI4(&value);
        return true;
    }
    if (V_VT(&value) != VT_I4 && V_VT(&value) != VT_INT &&
        FAILED(VariantChangeType(&value, &value, 0, VT_I4)))
        return false;
    out = static_cast<OLE_COLOR>(V_I4(&value));
    return true;
}

} // namespace

bool OleControl::CreateControlWindow(HWND parent, const RECT& pos)
{
    const HINSTANCE module = m_info.module();
    const bool ownClass = m_info.windowClass == nullptr;
    if (ownClass && !EnsureOwnWindowClass(module, &OleControl::WindowProc)) return false;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    if (ownClass) style |= WS_CLIPCHILDREN;  // its children paint themselves
    // A window of our own class binds itself to this object at WM_NCCREATE.
    HWND hwnd = CreateWindowExW(0, ownClass ? kOwnWindowClass : m_info.windowClass, L"", style, pos.left, pos.top,
                                pos.right - pos.left, pos.bottom - pos.top, parent, nullptr, module,
                                ownClass ? this : nullptr);
    if (!hwnd) return false;
    if (!ownClass) {
        // Subclass the system window so that reflected notifications reach us.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_baseProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OleControl::WindowProc)));
        m_hwnd = hwnd;
    }
    if (!OnWindowCreated(hwnd)) {
        DestroyWindow(hwnd);
        return false;
    }
    return true;
}

LRESULT CALLBACK OleControl::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
        if (auto* self = static_cast<OleControl*>(create->lpCreateParams)) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->m_hwnd = hwnd;
        }
    }
    auto* self = reinterpret_cast<OleControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    const WNDPROC base = self->m_baseProc;
    const auto fallback = [&] {
        return base ? CallWindowProcW(base, hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
    };
    if (msg == WM_NCDESTROY) {
        // The window is gone: give a subclassed one back to its class and forget it.
        if (base) SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        self->m_baseProc = nullptr;
        return fallback();
    }
    if (msg == WM_NCCREATE) return fallback();
    return WindowBarrier("OleControl::WindowProc", [&] { return self->HandleMessage(hwnd, msg, wp, lp); }, fallback);
}

LRESULT OleControl::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    LRESULT result = 0;
    if (OnMessage(msg, wp, lp, result)) return result;
    return DefaultHandling(hwnd, msg, wp, lp);
}

LRESULT OleControl::DefaultHandling(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (m_baseProc) {
        // Notifications reflected back by the container (OCM_COMMAND): nothing to do.
        if (msg == OCM__BASE + WM_COMMAND) return 0;
        return CallWindowProcW(m_baseProc, hwnd, msg, wp, lp);
    }
    RECT client{};
    switch (msg) {
    case WM_PAINT: {
        PaintScope paint(hwnd);
        GetClientRect(hwnd, &client);
        if (paint.Dc()) OnDraw(paint.Dc(), client);
        return 0;
    }
    case WM_PRINTCLIENT:
        GetClientRect(hwnd, &client);
        OnDraw(reinterpret_cast<HDC>(wp), client);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // OnDraw paints the whole window
    default:
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

void OleControl::OnDraw(HDC dc, const RECT& bounds)
{
    const UniqueBrush brush(CreateSolidBrush(AmbientBackColor()));
    if (brush) FillRect(dc, &bounds, brush.get());
}

COLORREF OleControl::AmbientBackColor()
{
    OLE_COLOR color = 0x80000000 | COLOR_WINDOW;  // the system colour, as an OLE_COLOR
    ComPtr<IDispatch> ambient;
    if (m_clientSite && SUCCEEDED(m_clientSite.As(IID_IDispatch, ambient))) {
        UniqueVariant value;
        DISPPARAMS none{};
        OLE_COLOR given = 0;
        if (SUCCEEDED(ambient->Invoke(DISPID_AMBIENT_BACKCOLOR, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                      &none, value.get(), nullptr, nullptr)) &&
            ColorFromVariant(*value.get(), given))
            color = given;
    }
    COLORREF rgb = 0;
    if (FAILED(OleTranslateColor(color, nullptr, &rgb))) rgb = GetSysColor(COLOR_WINDOW);
    return rgb;
}

} // namespace activex
