#include "dlg_login.h"

#include <utility>
#include <vector>

#include "activex/exception_barrier.h"
#include "activex/module_lock.h"
#include "activex/wide_text.h"
#include "dlg_login_ids.h"
#include "login_port.h"
#include "login_texts.h"
#include "module_title.h"
#include "orvex_module.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows texts are UTF-16");

namespace {

std::wstring ToWide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::u16string ItemText(HWND dlg, int id)
{
    const std::wstring text = activex::WindowTextOf(GetDlgItem(dlg, id));
    return std::u16string(text.begin(), text.end());
}

std::wstring ModuleTitle()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD copied = GetModuleFileNameW(OrvexModuleHandle(), path.data(), size);
        if (copied == 0) return {};
        if (copied < size) {
            return ToWide(ModuleTitleFromPath(std::u16string(path.begin(), path.begin() + copied)));
        }
        if (size >= 32768) return {};
        path.resize(size * 2);
    }
}

void ShowMessage(HWND owner, const char16_t* text)
{
    MessageBoxW(owner, ToWide(text).c_str(), ModuleTitle().c_str(), MB_OK | MB_ICONEXCLAMATION);
}

// Leaves the focus on an edit the operator has to correct, with its text selected.
void FocusEdit(HWND dlg, int id)
{
    HWND edit = GetDlgItem(dlg, id);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
}

} // namespace

CDlgLogin::~CDlgLogin()
{
    // The hidden window normally goes with its owner, the host's top-level window.
    // One still alive at module unload is destroyed here when this thread owns it,
    // so no window is left with a procedure in an unloaded module.
    if (m_hWnd && IsWindow(m_hWnd) && GetWindowThreadProcessId(m_hWnd, nullptr) == GetCurrentThreadId())
        Destroy();
}

BOOL CDlgLogin::Create(HWND parent)
{
    HINSTANCE module = OrvexModuleHandle();
    HWND wnd = CreateDialogParamW(module, MAKEINTRESOURCEW(IDD_DLG_LOGIN), parent, HiddenDialogProc,
                                  reinterpret_cast<LPARAM>(this));
    if (!wnd) return FALSE;
    Destroy();
    m_hWnd = wnd;
    m_hWndParent = parent;
    m_hTemplateModule = module;
    return TRUE;
}

void CDlgLogin::DestroyIfMadeFor(HWND parent)
{
    if (parent && m_hWndParent == parent) Destroy();
}

void CDlgLogin::Destroy()
{
    m_hWndParent = nullptr;
    HWND wnd = std::exchange(m_hWnd, nullptr);
    if (wnd && IsWindow(wnd)) ::DestroyWindow(wnd);
}

int CDlgLogin::DoModal()
{
    if (!m_hTemplateModule) return -1;
    // A run requested while another is open (a host call re-entering during the
    // modal loop, or another thread) cannot share the one object: it is cancelled.
    if (m_bRunning.exchange(true)) return IDCANCEL;
    struct RunGuard {
        std::atomic<bool>& running;
        ~RunGuard() { running = false; }
    } guard{m_bRunning};

    const INT_PTR result = DialogBoxParamW(m_hTemplateModule, MAKEINTRESOURCEW(IDD_DLG_LOGIN), ModalOwner(),
                                           ModalDialogProc, reinterpret_cast<LPARAM>(this));
    return result == IDOK || result == IDCANCEL ? static_cast<int>(result) : -1;
}

HWND CDlgLogin::ModalOwner() const
{
    HWND parent = m_hWndParent;
    if (parent && IsWindow(parent) && GetWindowThreadProcessId(parent, nullptr) == GetCurrentThreadId())
        return GetAncestor(parent, GA_ROOT);
    return GetActiveWindow();
}

INT_PTR CALLBACK CDlgLogin::HiddenDialogProc(HWND dlg, UINT msg, WPARAM, LPARAM lParam)
{
    // Nothing here can throw: no barrier needed.
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        activex::ModuleLock();  // a window of the module keeps it loaded (DllCanUnloadNow)
        return FALSE;
    }
    if (msg == WM_NCDESTROY) {
        // Destroyed with its control or its owner: forget the handle, keep the binding.
        auto* self = reinterpret_cast<CDlgLogin*>(GetWindowLongPtrW(dlg, DWLP_USER));
        if (self && self->m_hWnd == dlg) self->m_hWnd = nullptr;
        if (self) activex::ModuleUnlock();
    }
    return FALSE;
}

INT_PTR CALLBACK CDlgLogin::ModalDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    // The texts it reads and shows are allocated: an exception ends as "not handled".
    return activex::WindowBarrier(
        "CDlgLogin::ModalDialogProc", [&] { return HandleModalMessage(dlg, msg, wParam, lParam); },
        [] { return INT_PTR(FALSE); });
}

INT_PTR CDlgLogin::HandleModalMessage(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        reinterpret_cast<CDlgLogin*>(lParam)->OnInitDialog(dlg);
        return FALSE;   // the focus is set
    }
    auto* self = reinterpret_cast<CDlgLogin*>(GetWindowLongPtrW(dlg, DWLP_USER));
    if (!self || msg != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        self->OnOK(dlg);
        return TRUE;
    case IDCANCEL:
        EndDialog(dlg, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

void CDlgLogin::OnInitDialog(HWND dlg) const
{
    SetDlgItemTextW(dlg, IDC_EDIT_USERNAME, ToWide(m_strUserName).c_str());
    SetDlgItemTextW(dlg, IDC_EDIT_PASSWORD, ToWide(m_strPassword).c_str());
    SetDlgItemTextW(dlg, IDC_EDIT_HTTPPORT, std::to_wstring(m_nHttpPort).c_str());
    SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetFocus(GetDlgItem(dlg, IDOK));
}

void CDlgLogin::OnOK(HWND dlg)
{
    // The fields change only when the whole entry is confirmed: a refused entry
    // followed by Cancel leaves the last confirmed values in place.
    std::u16string userName = ItemText(dlg, IDC_EDIT_USERNAME);
    std::u16string password = ItemText(dlg, IDC_EDIT_PASSWORD);
    const PortText port = ParseHttpPort(ItemText(dlg, IDC_EDIT_HTTPPORT));
    if (port.result != PortTextResult::Ok) {
        ShowMessage(dlg, port.result == PortTextResult::OutOfRange ? login_texts::kPortOutOfRange
                                                                   : login_texts::kPortNotANumber);
        FocusEdit(dlg, IDC_EDIT_HTTPPORT);
        return;
    }
    if (userName.empty() || password.empty()) {
        ShowMessage(dlg, login_texts::kEmptyCredentials);
        return;
    }
    m_strUserName = std::move(userName);
    m_strPassword = std::move(password);
    m_nHttpPort = port.value;
    EndDialog(dlg, IDOK);
}

CDlgLogin g_dlgLogin;
