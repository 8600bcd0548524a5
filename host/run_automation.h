// The host program's --write mode: types the operator's entries into the dialog, presses
// Write, follows the dialog's own timer run through its list (a progress line per row),
// closes message boxes (printing them), and at the end prints the list, saves the files
// and the screenshot when asked, and ends the program.
#pragma once
#include <windows.h>
#include <cstddef>
#include <string>
#include "dialog_automation.h"
#include "exit_codes.h"
#include "host_options.h"

namespace trevanil_host {

class CHostFrame;

class CRunAutomation {
public:
    CRunAutomation(CHostFrame& frame, const HostOptions& options);

    // Called every 100 ms on the window thread.
    void OnTick();
    // Called when the control fires SetCloseFlag.
    void OnCloseFlag(short flag);

private:
    enum class Stage { FindDialog, WaitForStart, Running, Done };
    void Start();
    void ReportProgress();
    void Finish(HostExit code, const std::string& why);

    CHostFrame& m_frame;
    HostOptions m_options;
    Stage m_stage = Stage::FindDialog;
    DialogControls m_dialog;
    ULONGLONG m_deadline = 0;
    std::size_t m_reported = 0;
    bool m_sawStart = false;
    bool m_sawEnd = false;
    bool m_cancelPressed = false;
    bool m_closeTried = false;
    std::string m_lastMessage;
};

} // namespace trevanil_host
