#include "trevanil_ctrl.h"

#include "activex/dispatch_table.h"
#include "activex/ole_misc.h"
#include "trevanil_module.h"

namespace {

const activex::ControlInfo kControlInfo = {
    &CLSID_Trevanil,
    &DIID__DTrevanil,
    &DIID__DTrevanilEvents,
    &LIBID_TREVANILLib,
    &TrevanilModuleHandle,
    activex::kControlMiscStatus,
    0x00010000,  // persistence version 1.0
    &CLSID_TrevanilPropPage,
    1,
    nullptr,     // a window class of the control's own: the dialog is its child
};

// In-place activation asks for itself again from inside (the window it creates gets
// WM_CREATE and WM_MOUSEACTIVATE, which activate): one activation at a time, module-wide.
bool g_activating = false;

bool IsNavigationKey(const MSG& msg)
{
    return (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam >= VK_END && msg.wParam <= VK_DOWN;
}

// Made from the method list that trevanil.idl declares too. SetLangue takes a short: a
// value beyond its range is refused, not cut.
#define TREVANIL_METHOD(...) ACTIVEX_DISP_METHOD(CTrevanilCtrl, __VA_ARGS__),
const activex::DispEntry<CTrevanilCtrl> kDispTable[] = {TREVANIL_METHODS};
#undef TREVANIL_METHOD

}  // namespace

CTrevanilCtrl::CTrevanilCtrl() : Implements(kControlInfo) {}

CTrevanilCtrl::~CTrevanilCtrl() { m_dialog.Destroy(); }

HRESULT CTrevanilCtrl::InvokeMember(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, UINT* argErr)
{
    return activex::InvokeFromTable(*this, kDispTable, id, flags, params, result, argErr);
}

void CTrevanilCtrl::SetLangue(short nLangueType) { m_dialog.SetLanguage(nLangueType); }

void CTrevanilCtrl::FireSetCloseFlag(short nCloseFlag)
{
    VARIANTARG arg;
    V_VT(&arg) = VT_I2;
    V_I2(&arg) = nCloseFlag;
    FireEvent(DISPID_TREVANIL_SETCLOSEFLAG, &arg, 1);
}

bool CTrevanilCtrl::OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result)
{
    switch (msg) {
    case WM_CREATE:
        OnActivateInPlace(true, nullptr);
        // Without its dialog (e.g. the system refused it) the control stays empty.
        m_dialog.Create(TrevanilModuleHandle(), ControlWindow());
        result = 0;
        return true;
    case WM_MOUSEACTIVATE:
        OnActivateInPlace(true, nullptr);
        return false;
    case WM_SETCLOSEFLAG:
        FireSetCloseFlag(static_cast<short>(LOWORD(wp)));
        return false;
    case WM_DESTROY:
        m_dialog.Destroy();
        return false;
    default:
        return false;
    }
}

void CTrevanilCtrl::OnDraw(HDC dc, const RECT& bounds)
{
    // The dialog fills the control; it follows the control's size when the control paints.
    if (m_dialog.Window() && WindowFromDC(dc) == ControlWindow())
        MoveWindow(m_dialog.Window(), bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                   TRUE);
    OleControl::OnDraw(dc, bounds);  // the ambient background
}

bool CTrevanilCtrl::PreTranslateMessage(MSG* msg)
{
    // Arrows, Home and End belong to the focused edit or list, not to the host's accelerators.
    if (!msg || !IsNavigationKey(*msg)) return false;
    SendMessageW(GetFocus(), msg->message, msg->wParam, msg->lParam);
    return true;
}

HRESULT CTrevanilCtrl::OnActivateInPlace(bool uiActivate, MSG* msg)
{
    if (g_activating) return S_OK;
    g_activating = true;
    const HRESULT hr = ActivateInPlace(uiActivate, msg);
    g_activating = false;
    return hr;
}
