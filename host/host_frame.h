// The host program's main window: the batch control in the system's container
// (atl.dll's AtlAxWin), its language set through SetLangue, and its close flag
// honoured: while a run is active the window refuses to close and says why.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <memory>
#include <string>
#include "activex/atl_container.h"
#include "activex/raii.h"
#include "exit_codes.h"
#include "host_options.h"
#include "progress/run_progress.h"

namespace trevanil_host {

class CRunAutomation;

class CHostFrame {
public:
    explicit CHostFrame(const HostOptions& options);
    ~CHostFrame();
    CHostFrame(const CHostFrame&) = delete;
    CHostFrame& operator=(const CHostFrame&) = delete;

    // Makes the window and the control; false with `error` and `code` set when that fails.
    bool Create(std::string& error, HostExit& code);
    // Runs the message loop until the window is gone; returns the exit code.
    int Run();

    HWND Window() const { return m_frame; }
    bool RunActive() const { return m_closeFlag != 0; }
    // Ends the program with `code` once the current message is handled.
    void Quit(int code);
    // Asks the window to close as the user's close button would; true when it closed.
    bool RequestClose();
    // The runs' view and record; it outlives the window, for the restarts after it.
    CRunProgress& Progress() { return *m_progress; }

private:
    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    bool CreateFrameWindow(std::string& error);
    bool CreateControl(const activex::AtlContainer& atl, activex::ComPtr<IUnknown>& control, std::string& error);
    bool ConnectCloseFlag(IUnknown* control, std::string& error);
    bool OnTimer(WPARAM timer);
    void OnClose();
    void OnDestroy();
    void OnCloseFlag(short flag);

    HostOptions m_options;
    HWND m_frame = nullptr;
    HWND m_container = nullptr;
    activex::ComPtr<IDispatch> m_control;
    activex::ComPtr<IConnectionPoint> m_eventPoint;
    DWORD m_cookie = 0;
    activex::ComPtr<IDispatch> m_sink;
    short m_closeFlag = 0;
    std::unique_ptr<CRunAutomation> m_automation;
    std::unique_ptr<CRunProgress> m_progress;
    int m_exitCode = 0;
};

} // namespace trevanil_host
