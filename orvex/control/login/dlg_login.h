// CDlgLogin: the modal login dialog that asks the operator for the user name,
// password and HTTP port of a newer-protocol device. The module holds one object,
// g_dlgLogin, for its whole life; what was confirmed last is offered again.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "connections/login_prompt.h"

class CDlgLogin : public ILoginPrompt {
public:
    CDlgLogin() = default;
    ~CDlgLogin() override;
    CDlgLogin(const CDlgLogin&) = delete;
    CDlgLogin& operator=(const CDlgLogin&) = delete;

    // Binds the object to dialog resource 103 of the module by creating it as a
    // hidden modeless window with `parent` (the control's window) as its parent; being
    // a pop-up, it is owned by the parent's top-level window and later runs are modal
    // to that window. Called when a control window is created; a later call replaces
    // the hidden window. The binding outlives the hidden window. FALSE when the
    // window cannot be created (the object then stays as it was).
    BOOL Create(HWND parent);
    // Destroys the hidden window, if it still exists, and forgets the parent; the
    // binding stays. The hidden window otherwise goes with its top-level owner or at
    // module unload. While it exists it holds a module lock.
    void Destroy();
    // Destroy, when the hidden window was made for the control window `parent`.
    void DestroyIfMadeFor(HWND parent);
    // The hidden window made by Create (null before, or once it is destroyed).
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Shows a new dialog window from the bound template and waits for it to close:
    // IDOK when the operator confirmed valid input, IDCANCEL when cancelled or when
    // another run is still open, -1 when no template is bound yet.
    int DoModal() override;

    // The last confirmed values (empty, empty and 0 before the first confirmation).
    const char16_t* UserName() const override { return m_strUserName.c_str(); }
    const char16_t* Password() const override { return m_strPassword.c_str(); }
    int Port() const override { return m_nHttpPort; }

private:
    static INT_PTR CALLBACK HiddenDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK ModalDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);
    static INT_PTR HandleModalMessage(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND dlg) const;
    void OnOK(HWND dlg);
    HWND ModalOwner() const;

    std::u16string m_strUserName;
    std::u16string m_strPassword;
    int32_t m_nHttpPort = 0;

    HINSTANCE m_hTemplateModule = nullptr;   // set once the template is bound
    HWND m_hWnd = nullptr;                    // the hidden window made by Create
    HWND m_hWndParent = nullptr;
    std::atomic<bool> m_bRunning{false};     // one modal run at a time
};

extern CDlgLogin g_dlgLogin;
