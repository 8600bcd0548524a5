#include "host_frame.h"

#include <ocidl.h>
#include "activex/atl_container.h"
#include "activex/exception_barrier.h"
#include "check_command.h"
#include "close_flag_sink.h"
#include "console_out.h"
#include "dialog_automation.h"
#include "host_texts.h"
#include "progress/run_progress.h"
#include "run_automation.h"
#include "run_files.h"
#include "run_keep_awake.h"
#include "trevanil/control/trevanil_ids.h"

namespace trevanil_host {
namespace {

constexpr wchar_t kFrameClass[] = L"TrevanilHostFrame";
constexpr UINT_PTR kAutomationTimer = 7;
constexpr UINT kAutomationPeriodMs = 100;
constexpr UINT WM_HOST_QUIT = WM_APP + 1;
constexpr UINT_PTR kProgressTimer = 8;
constexpr UINT kProgressPeriodMs = 200;
constexpr UINT WM_HOST_UNFINISHED_RUN = WM_APP + 3;  // once the window shows

HRESULT CallSetLangue(IDispatch* control, short language)
{
    VARIANTARG arg;
    V_VT(&arg) = VT_I2;
    V_I2(&arg) = language;
    DISPPARAMS params{&arg, nullptr, 1, 0};
    return control->Invoke(DISPID_TREVANIL_SETLANGUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                           nullptr, nullptr, nullptr);
}

std::wstring ClsidText()
{
    wchar_t text[64] = L"";
    StringFromGUID2(CLSID_Trevanil, text, 64);
    return text;
}

} // namespace

CHostFrame::CHostFrame(const HostOptions& options)
    : m_options(options), m_progress(std::make_unique<CRunProgress>(m_options))
{
}

CHostFrame::~CHostFrame()
{
    if (m_eventPoint && m_cookie) m_eventPoint->Unadvise(m_cookie);
    if (m_frame) DestroyWindow(m_frame);
}

bool CHostFrame::Create(std::string& error, HostExit& code)
{
    code = HostExit::NoDialog;
    // What --write may not do is refused before anything is created.
    if (m_options.write) {
        if (const std::optional<HostExit> refused = m_progress->PrepareWrite(m_options, error)) {
            code = *refused;
            return false;
        }
    }
    const activex::AtlContainer* atl = activex::AtlContainer::Get();
    if (!atl) {
        error = "atl.dll (the system's control container) cannot be loaded";
        return false;
    }
    activex::ComPtr<IUnknown> control;
    if (!CreateFrameWindow(error) || !CreateControl(*atl, control, error) || !ConnectCloseFlag(control.get(), error))
        return false;
    if (m_options.language != 0 && FAILED(CallSetLangue(m_control.get(), static_cast<short>(m_options.language)))) {
        error = "SetLangue failed";
        return false;
    }
    AttachCheckMenu(m_frame, m_options.language);
    ShowWindow(m_frame, SW_SHOW);
    UpdateWindow(m_frame);
    if (m_options.write) {
        m_automation = std::make_unique<CRunAutomation>(*this, m_options);
        SetTimer(m_frame, kAutomationTimer, kAutomationPeriodMs, nullptr);
    } else {
        SetTimer(m_frame, kProgressTimer, kProgressPeriodMs, nullptr);
        PostMessageW(m_frame, WM_HOST_UNFINISHED_RUN, 0, 0);
    }
    return true;
}

bool CHostFrame::CreateFrameWindow(std::string& error)
{
    WNDCLASSW frameClass{};
    frameClass.lpfnWndProc = &CHostFrame::FrameProc;
    frameClass.hInstance = GetModuleHandleW(nullptr);
    frameClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    frameClass.lpszClassName = kFrameClass;
    RegisterClassW(&frameClass);
    // The dialog is 320 by 171 dialog units; the frame leaves room for it with the system font.
    m_frame = CreateWindowExW(0, kFrameClass, Utf8ToWide(HostTextsFor(m_options.language).title).c_str(),
                              WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, 0, 0, 680,
                              420, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!m_frame) {
        error = "the host window cannot be created";
        return false;
    }
    // The status bar under the control, the frame taller by its height.
    m_progress->Create(m_frame);
    RECT outer{};
    GetWindowRect(m_frame, &outer);
    SetWindowPos(m_frame, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top + m_progress->StatusHeight(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

bool CHostFrame::CreateControl(const activex::AtlContainer& atl, activex::ComPtr<IUnknown>& control, std::string& error)
{
    RECT client{};
    GetClientRect(m_frame, &client);
    client.bottom -= m_progress->StatusHeight();
    const std::wstring name = m_options.byClsid ? ClsidText() : std::wstring(TREVANIL_PROGID);
    m_container = CreateWindowExW(0, L"AtlAxWin", name.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                  client.right, client.bottom, m_frame, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!m_container || FAILED(atl.GetControl(m_container, control.put())) || !control ||
        FAILED(control->QueryInterface(IID_IDispatch, m_control.put_void()))) {
        error = "the batch control " + WideToUtf8Text(name) + " cannot be created (is trevanil.dll registered?)";
        return false;
    }
    return true;
}

bool CHostFrame::ConnectCloseFlag(IUnknown* control, std::string& error)
{
    activex::ComPtr<IConnectionPointContainer> points;
    if (SUCCEEDED(control->QueryInterface(IID_IConnectionPointContainer, points.put_void())) &&
        SUCCEEDED(points->FindConnectionPoint(DIID__DTrevanilEvents, m_eventPoint.put())) &&
        SUCCEEDED(CreateCloseFlagSink([this](short flag) { OnCloseFlag(flag); }, m_sink.put()))) {
        m_eventPoint->Advise(m_sink.get(), &m_cookie);
    }
    if (!m_cookie) {
        error = "the batch control's SetCloseFlag event cannot be connected";
        return false;
    }
    return true;
}

int CHostFrame::Run()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // The control takes its navigation keys before the dialog manager would.
        activex::ComPtr<IOleInPlaceActiveObject> active;
        if (m_control && (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) &&
            SUCCEEDED(m_control->QueryInterface(IID_IOleInPlaceActiveObject, active.put_void())) &&
            active->TranslateAccelerator(&msg) == S_OK)
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return m_exitCode;
}

void CHostFrame::Quit(int code)
{
    m_exitCode = code;
    PostMessageW(m_frame, WM_HOST_QUIT, 0, 0);
}

bool CHostFrame::RequestClose()
{
    SendMessageW(m_frame, WM_CLOSE, 0, 0);
    return !IsWindow(m_frame);
}

void CHostFrame::OnCloseFlag(short flag)
{
    m_closeFlag = flag;
    if (m_automation) m_automation->OnCloseFlag(flag);
    m_progress->OnCloseFlag(flag);
}

LRESULT CALLBACK CHostFrame::FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        auto* frame = static_cast<CHostFrame*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
        frame->m_frame = hwnd;
    }
    auto* frame = reinterpret_cast<CHostFrame*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!frame) return DefWindowProcW(hwnd, msg, wp, lp);
    return activex::WindowBarrier("CHostFrame::FrameProc", [&] { return frame->OnMessage(hwnd, msg, wp, lp); },
                                  [&] { return DefWindowProcW(hwnd, msg, wp, lp); });
}

LRESULT CHostFrame::OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_TIMER:
        if (OnTimer(wp)) return 0;
        break;
    case WM_COMMAND:
        if (IsCheckMenuCommand(wp)) {
            RunCheckFromWindow(m_frame, m_options.language);
            return 0;
        }
        break;
    case WM_SIZE:
        m_progress->OnFrameSize();
        if (m_container) MoveWindow(m_container, 0, 0, LOWORD(lp), HIWORD(lp) - m_progress->StatusHeight(), TRUE);
        return 0;
    case WM_QUERYENDSESSION:
        // A run asked Windows to keep the session (its reason names the list).
        return CRunKeepAwake::QueryEndSessionAnswer();
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_HOST_QUIT:
        KillTimer(m_frame, kAutomationTimer);
        DestroyWindow(m_frame);
        return 0;
    case WM_HOST_UNFINISHED_RUN:
        m_progress->OfferUnfinishedRun();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

bool CHostFrame::OnTimer(WPARAM timer)
{
    if (timer == kAutomationTimer && m_automation) {
        m_automation->OnTick();
    } else if (timer != kProgressTimer) {
        return false;
    }
    m_progress->Poll();  // a run under --write is followed as well
    return true;
}

void CHostFrame::OnClose()
{
    if (!RunActive()) {
        DestroyWindow(m_frame);
        return;
    }
    // The control said a run is under way: closing now would drop the devices not yet written.
    if (!m_automation)
        MessageBoxW(m_frame, Utf8ToWide(HostTextsFor(m_options.language).closeRefused).c_str(),
                    Utf8ToWide(HostTextsFor(m_options.language).title).c_str(), MB_OK | MB_ICONWARNING);
}

void CHostFrame::OnDestroy()
{
    KillTimer(m_frame, kAutomationTimer);
    KillTimer(m_frame, kProgressTimer);
    if (m_eventPoint && m_cookie) m_eventPoint->Unadvise(m_cookie);
    m_cookie = 0;
    m_control.reset();
    m_frame = nullptr;
    PostQuitMessage(m_exitCode);
}

} // namespace trevanil_host
