// The system's control container, atl.dll: its window class "AtlAxWin" hosts an ActiveX
// control by ProgID or "{CLSID}", and AtlAxCreateDialogW makes a dialog whose template
// controls of class "{CLSID}" become hosted controls. Every Windows (and Wine) has it,
// so both our host program and the batch control's dialog use it instead of a site of
// our own. It is loaded at run time: mingw ships no import library for it.
#pragma once
#include <windows.h>
#include <unknwn.h>

namespace activex {

class AtlContainer {
public:
    // Loads atl.dll once per process and registers its window classes; null when that fails.
    static const AtlContainer* Get();

    HWND CreateHostingDialog(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC proc, LPARAM param) const
    {
        return m_createDialog(instance, templateName, parent, proc, param);
    }
    // The control hosted in an AtlAxWin window (one reference for the caller).
    HRESULT GetControl(HWND host, IUnknown** out) const { return m_getControl(host, out); }

private:
    AtlContainer() = default;
    using InitFn = BOOL(WINAPI*)();
    using CreateDialogFn = HWND(WINAPI*)(HINSTANCE, LPCWSTR, HWND, DLGPROC, LPARAM);
    using GetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);
    CreateDialogFn m_createDialog = nullptr;
    GetControlFn m_getControl = nullptr;
};

} // namespace activex
