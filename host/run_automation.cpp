#include "run_automation.h"

#include "batch_view.h"
#include "console_out.h"
#include "host_frame.h"
#include "result_kinds.h"
#include "run_files.h"
#include "screenshot.h"

namespace trevanil_host {
namespace {

constexpr ULONGLONG kDialogWaitMs = 15000;

} // namespace

CRunAutomation::CRunAutomation(CHostFrame& frame, const HostOptions& options)
    : m_frame(frame), m_options(options), m_deadline(GetTickCount64() + kDialogWaitMs)
{
}

void CRunAutomation::OnCloseFlag(short flag)
{
    PrintLine("SetCloseFlag(" + std::to_string(flag) + ")");
    if (flag == 1) m_sawStart = true;
    if (flag == 0 && m_sawStart) m_sawEnd = true;
}

void CRunAutomation::OnTick()
{
    if (m_stage == Stage::Done) return;
    if (m_deadline != 0 && GetTickCount64() > m_deadline) {
        if (m_stage == Stage::FindDialog)
            Finish(HostExit::NoDialog, "the batch control's dialog did not appear (are trevanil.dll and orvex.dll "
                                       "registered?)");
        else
            Finish(HostExit::TimedOut, "the run did not end within --timeout " + std::to_string(m_options.timeoutSeconds) +
                                           " s");
        return;
    }
    if (auto box = TakeMessageBox(m_frame.Window())) {
        m_lastMessage = box->text;
        PrintLine("message box [" + box->caption + "]: " + box->text);
    }
    switch (m_stage) {
    case Stage::FindDialog:
        if (auto dialog = FindDeviceWriteDialog(m_frame.Window())) {
            m_dialog = *dialog;
            Start();
        }
        break;
    case Stage::WaitForStart:
        // A check that fails shows its message and starts nothing.
        if (m_sawStart) {
            m_stage = Stage::Running;
        } else if (!m_lastMessage.empty()) {
            Finish(HostExit::BadArguments, "Write was refused: " + m_lastMessage);
        }
        break;
    case Stage::Running:
        ReportProgress();
        if (m_options.tryClose && !m_closeTried && !m_sawEnd) {
            m_closeTried = true;
            if (m_frame.RequestClose()) {
                Finish(HostExit::ClosedDuringRun, "the window closed while the run was active");
                return;
            }
            PrintLine("close refused while the run is active");
        }
        if (m_options.cancelAfterRows && !m_cancelPressed && m_reported >= static_cast<std::size_t>(m_options.cancelAfter)) {
            m_cancelPressed = true;
            PrintLine("pressing Cancel");
            PressButton(m_dialog.cancel);
        }
        if (m_sawEnd) Finish(HostExit::Done, "");
        break;
    case Stage::Done:
        break;
    }
}

void CRunAutomation::Start()
{
    if (m_options.platformIp) SetControlText(m_dialog.platformIp, *m_options.platformIp);
    if (m_options.platformPort) SetControlText(m_dialog.platformPort, *m_options.platformPort);
    if (m_options.deviceList) SetControlText(m_dialog.deviceList, *m_options.deviceList);
    PrintLine("pressing Write: platform " + ControlText(m_dialog.platformIp) + ":" +
              ControlText(m_dialog.platformPort) + ", device list " + ControlText(m_dialog.deviceList));
    PressButton(m_dialog.write);
    m_stage = Stage::WaitForStart;
    // No limit unless asked: a long list takes hours.
    m_deadline = m_options.timeoutSeconds > 0
        ? GetTickCount64() + static_cast<ULONGLONG>(m_options.timeoutSeconds) * 1000 : 0;
}

void CRunAutomation::ReportProgress()
{
    // Only the items after the last one told: each look costs the same however long the list.
    const int count = ResultItemCount(m_dialog.list);
    while (static_cast<int>(m_reported) < count) {
        const int index = static_cast<int>(m_reported);
        if (ReadListText(m_dialog.list, index, ListColumn::kResult).empty()) break;
        const ResultItem item = ReadResultItem(m_dialog.list, index);
        PrintLine("row " + item.number + ": " + item.deviceName + " " + item.deviceId + " -> " + item.result);
        ++m_reported;
    }
}

void CRunAutomation::Finish(HostExit code, const std::string& why)
{
    m_stage = Stage::Done;
    if (code != HostExit::Done) {
        PrintError("trevanil_host: " + why);
        m_frame.Quit(static_cast<int>(code));
        return;
    }
    ReportProgress();
    const std::vector<ResultItem> items = ReadResultList(m_dialog.list);  // once, for the table
    const bool english = m_options.language == kLanguageEnglish;
    PrintLine("");
    PrintLine(FormatResultTable(items, english));
    if (!m_lastMessage.empty() && m_reported == 0) {
        PrintError("trevanil_host: the run wrote nothing: " + m_lastMessage);
        code = HostExit::BadArguments;
    }
    if (!m_options.screenshot.empty()) {
        if (SaveWindowPng(m_frame.Window(), Utf8ToWide(m_options.screenshot)))
            PrintLine("screenshot saved to " + m_options.screenshot);
        else {
            PrintError("trevanil_host: cannot save the screenshot " + m_options.screenshot);
            code = HostExit::ScreenshotFailed;
        }
    }
    m_frame.Quit(static_cast<int>(code));
}

} // namespace trevanil_host
