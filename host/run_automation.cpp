#include "run_automation.h"

#include "console_out.h"
#include "host_frame.h"
#include "run_files.h"
#include "screenshot.h"

namespace trevanil_host {
namespace {

constexpr ULONGLONG kDialogWaitMs = 15000;

bool IsCompletedText(const std::string& text)
{
    return text == "Completed." || text == "\xE5\x86\x99\xE5\x85\xA5\xE5\xAE\x8C\xE6\x88\x90\xE3\x80\x82";
}

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
    if (GetTickCount64() > m_deadline) {
        Finish(3, m_stage == Stage::FindDialog ? "the batch control's dialog did not appear (are trevanil.dll and "
                                                 "orvex.dll registered?)"
                                               : "the run did not end in time");
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
            Finish(4, "Write was refused: " + m_lastMessage);
        }
        break;
    case Stage::Running:
        ReportProgress();
        if (m_options.tryClose && !m_closeTried && !m_sawEnd) {
            m_closeTried = true;
            if (m_frame.RequestClose()) {
                Finish(5, "the window closed while the run was active");
                return;
            }
            PrintLine("close refused while the run is active");
        }
        if (m_options.cancelAfterRows && !m_cancelPressed && m_reported >= static_cast<std::size_t>(m_options.cancelAfter)) {
            m_cancelPressed = true;
            PrintLine("pressing Cancel");
            PressButton(m_dialog.cancel);
        }
        if (m_sawEnd) Finish(0, "");
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
    // The file as it stands when Write is pressed: list item N is row N of it.
    ReadWholeFile(Utf8ToWide(ControlText(m_dialog.deviceList)), m_originalFile);
    PrintLine("pressing Write: platform " + ControlText(m_dialog.platformIp) + ":" +
              ControlText(m_dialog.platformPort) + ", device list " + ControlText(m_dialog.deviceList));
    PressButton(m_dialog.write);
    m_stage = Stage::WaitForStart;
    m_deadline = GetTickCount64() + static_cast<ULONGLONG>(m_options.timeoutSeconds) * 1000;
}

void CRunAutomation::ReportProgress()
{
    const std::vector<ResultItem> items = ReadResultList(m_dialog.list);
    while (m_reported < items.size() && !items[m_reported].result.empty()) {
        const ResultItem& item = items[m_reported];
        PrintLine("row " + item.number + ": " + item.deviceName + " " + item.deviceId + " -> " + item.result);
        ++m_reported;
    }
}

void CRunAutomation::Finish(int code, const std::string& why)
{
    m_stage = Stage::Done;
    if (code != 0) {
        PrintError("trevanil_host: " + why);
        m_frame.Quit(code);
        return;
    }
    ReportProgress();
    const std::vector<ResultItem> items = ReadResultList(m_dialog.list);
    const bool english = m_options.language == 2;
    PrintLine("");
    PrintLine(FormatResultTable(items, english));
    const std::string state = items.empty() ? std::string() : items.back().deviceName;
    if (!m_lastMessage.empty() && m_reported == 0) {
        PrintError("trevanil_host: the run wrote nothing: " + m_lastMessage);
        code = 4;
    } else if (!IsCompletedText(state) && !m_cancelPressed) {
        PrintError("trevanil_host: the run did not complete: " + state);
        code = 6;
    }
    if (m_options.save && !m_originalFile.empty()) {
        std::string error;
        const std::wstring listPath = Utf8ToWide(ControlText(m_dialog.deviceList));
        if (auto saved = SaveRunFiles(listPath, m_originalFile, items, english, error)) {
            PrintLine("results saved to " + WideToUtf8Text(saved->results));
            PrintLine("rows not written (" + std::to_string(saved->retryRows) + ") saved to " +
                      WideToUtf8Text(saved->retry));
        } else {
            PrintError("trevanil_host: " + error);
            code = 7;
        }
    }
    if (!m_options.screenshot.empty()) {
        if (SaveWindowPng(m_frame.Window(), Utf8ToWide(m_options.screenshot)))
            PrintLine("screenshot saved to " + m_options.screenshot);
        else {
            PrintError("trevanil_host: cannot save the screenshot " + m_options.screenshot);
            code = 8;
        }
    }
    m_frame.Quit(code);
}

} // namespace trevanil_host
