#include "orvex_ctrl.h"

#include "activex/dispatch_table.h"
#include "activex/ole_misc.h"
#include "connections/pu_types.h"
#include "connections/wide_to_utf8.h"
#include "connections/write_pu_request.h"
#include "diag/crash_dump.h"
#include "diag/write_log.h"
#include "orvex_module.h"
#include "orvex_module_state.h"
#include "orvex_resource.h"
#include "reroot_thread.h"
#include "connections/pu_manager.h"
#include "text_arguments.h"
#include "login/dlg_login.h"

namespace {

const activex::ControlInfo kControlInfo = {
    &CLSID_orvex,
    &DIID__Dorvex,
    &DIID__DorvexEvents,
    &LIBID_orvexLib,
    &OrvexModuleHandle,
    activex::kControlMiscStatus,
    0x00010000,       // persistence version 1.0
    &CLSID_orvexPropPage,
    1,
    L"BUTTON",
};

const wchar_t* TextOf(BSTR text) { return text ? text : L""; }

// ANSI text of the calling thread's code page; false when it does not fit (buffer left empty).
template <std::size_t N>
bool ToAnsi(BSTR text, TextBuffer<N>& out)
{
    out.Assign("");
    const int needed = WideCharToMultiByte(CP_ACP, 0, TextOf(text), -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0 || static_cast<std::size_t>(needed) > N) return false;
    return WideCharToMultiByte(CP_ACP, 0, TextOf(text), -1, out.data(), static_cast<int>(N), nullptr, nullptr) > 0;
}

// UTF-8 text; false when a non-empty text does not fit (buffer left empty).
template <std::size_t N>
bool ToUtf8(BSTR text, TextBuffer<N>& out)
{
    out.Assign("");
    if (!text || !text[0]) return true;
    return WideToUtf8(reinterpret_cast<const char16_t*>(text), out.data(), N) > 0;
}

INT_PTR CALLBACK AboutProc(HWND dlg, UINT msg, WPARAM wp, LPARAM)
{
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
        EndDialog(dlg, LOWORD(wp));
        return TRUE;
    }
    return FALSE;
}

// Made from the method list that orvex.idl declares too.
#define ORVEX_METHOD(...) ACTIVEX_DISP_METHOD(COrvexCtrl, __VA_ARGS__),
const activex::DispEntry<COrvexCtrl> kDispTable[] = {ORVEX_METHODS};
#undef ORVEX_METHOD

} // namespace

COrvexCtrl::COrvexCtrl() : Implements(kControlInfo)
{
    InstallCrashFilter();
    InitErrorText(m_mapErrorText);
    ORVEX_LOG("COrvexCtrl::COrvexCtrl", "=================orvex start================");
    // The first live control makes the registry (and so loads the device libraries); the
    // others share it. Made while the last one is still being torn down, it waits for that.
    m_registry = AcquireModuleRegistry();
}

COrvexCtrl::~COrvexCtrl() = default;

HRESULT COrvexCtrl::InvokeMember(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, UINT* argErr)
{
    return activex::InvokeFromTable(*this, kDispTable, id, flags, params, result, argErr);
}

bool COrvexCtrl::OnWindowCreated(HWND hwnd)
{
    // Gives the login dialog its template; the registry runs it modally when needed.
    g_dlgLogin.Create(hwnd);
    return true;
}

bool COrvexCtrl::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT&)
{
    // The hidden login window is a pop-up owned by the host's top-level window, which
    // may outlive the module: it goes with the control window that made it, on this thread.
    if (msg == WM_DESTROY) g_dlgLogin.DestroyIfMadeFor(ControlWindow());
    return false;
}

// ---- _Dorvex ----

void COrvexCtrl::AboutBox()
{
    DialogBoxParamW(OrvexModuleHandle(), MAKEINTRESOURCEW(IDD_ABOUTBOX_ORVEX), nullptr, &AboutProc, 0);
}

LONG COrvexCtrl::Connect(BSTR, ULONG, BSTR userName, BSTR password)
{
    // Ip and port are accepted and not used. A login text too long for its buffer is stored empty.
    TextBuffer<kLoginTextSize> user, pass;
    ToUtf8(userName, user);
    ToUtf8(password, pass);
    ORVEX_LOG("COrvexCtrl::Connect", "SetLoginInfo.");
    if (m_registry) m_registry->SetLoginInfo(user.c_str(), pass.c_str());
    return 0;
}

LONG COrvexCtrl::WritePu(BSTR puIp, ULONG puPort, BSTR platIp, ULONG platPort, BSTR puID, BSTR newDevName,
                         BSTR puNewIp)
{
    ORVEX_LOG("COrvexCtrl::WritePu", "start WritePu.");
    TextBuffer<kAddressTextSize> szPuIP, szPlatIP;
    TextBuffer<kPuIdTextSize> szPuId, szNewIp;
    TextBuffer<kDeviceNameSize> szNewName;
    const bool fits = ToAnsi(puIp, szPuIP) && ToAnsi(platIp, szPlatIP) && ToAnsi(puID, szPuId) &&
                      ToUtf8(newDevName, szNewName) && ToAnsi(puNewIp, szNewIp);
    if (!fits) {
        // A text cut to its buffer would be written into the device: refuse the call.
        ORVEX_LOG("COrvexCtrl::WritePu", "argument too long, nothing written.");
        FirePUErrorOut(kErrPuBadSize);
        return 0;
    }
    // Parsed here, once, before the registry logs in anywhere: a bad address or port costs
    // no login, and the registry and the adapters take the parsed request.
    WritePuRequest request;
    if (const int refused = ParseWritePuRequest(szPuIP.c_str(), puPort, szPlatIP.c_str(), platPort, szPuId.c_str(),
                                                szNewName.c_str(), szNewIp.c_str(), &request)) {
        ORVEX_LOGF("COrvexCtrl::WritePu", "bad argument, nothing written.err:%d", refused);
        FirePUErrorOut(refused);
        return 0;
    }
    int errPu = 1;
    int lPuID = -1;
    if (!m_registry) {
        FirePUErrorOut(errPu);
        return 0;
    }
    // What the restart needs is made before the device is written, so that nothing can
    // fail once it has been.
    CReRootReservation restart(m_registry);
    std::uint32_t restartTicket = 0;
    if (!m_registry->WritePu(request, &lPuID, &errPu, &restartTicket)) {
        FirePUErrorOut(errPu);
        return 0;
    }
    restart.Schedule(lPuID, restartTicket);  // the ticket came with the end of the write
    return 1;
}

LONG COrvexCtrl::DisConnect(LONG puHandle)
{
    int errPu = 1;
    if (!m_registry || !m_registry->DisConnect(puHandle, &errPu)) FirePUErrorOut(errPu);
    return 0;
}

LONG COrvexCtrl::IsUseDomain(LONG puHandle)
{
    int errPu = 1;
    if (!m_registry || !m_registry->IsUseDomain(puHandle, &errPu)) FirePUErrorOut(errPu);
    return 0;
}

void COrvexCtrl::FirePUErrorOut(int code)
{
    activex::UniqueBstr text(reinterpret_cast<const wchar_t*>(GetErrorText(m_mapErrorText, code)));
    // DISPPARAMS lists the arguments last first.
    VARIANTARG args[2];
    V_VT(&args[0]) = VT_BSTR;
    V_BSTR(&args[0]) = text.get();
    V_VT(&args[1]) = VT_I4;
    V_I4(&args[1]) = code;
    FireEvent(ORVEX_DISPID_PUERROROUT, args, 2);
}
