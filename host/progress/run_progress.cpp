#include "run_progress.h"

#include <commctrl.h>
#include "batch_run.h"
#include "console_out.h"
#include "dialog_automation.h"
#include "host_texts.h"
#include "progress/progress_text.h"
#include "progress/record_texts.h"
#include "progress/run_tally.h"
#include "run_files.h"

namespace trevanil_host {
namespace {

// The batch control's tick: one row each. The estimate starts from it and then follows
// the pace measured.
constexpr std::int64_t kControlTickMs = kRunTimerPeriodMs;

} // namespace

CRunProgress::CRunProgress(const HostOptions& options) : m_options(options), m_english(options.language == 2) {}

bool CRunProgress::Create(HWND frame)
{
    m_frame = frame;
    return m_status.Create(frame);
}

std::optional<RunState> CRunProgress::FindUnfinished() const
{
    return FindUnfinishedRun(m_options.deviceList ? Utf8ToWide(*m_options.deviceList) : std::wstring());
}

bool CRunProgress::PrepareWrite(HostOptions& options, std::string& error)
{
    const std::optional<RunState> unfinished = FindUnfinished();
    if (!unfinished) {
        if (!options.resume) return true;
        error = NoUnfinishedRunText(m_english);
        return false;
    }
    PrintLine(UnfinishedRunText(*unfinished, m_english, options.resume ? RetryListUse::Loaded : RetryListUse::Hint));
    if (options.resume) {
        options.deviceList = unfinished->retry;
        m_takenUp = unfinished;
    }
    return true;
}

void CRunProgress::OfferUnfinishedRun()
{
    const std::optional<RunState> unfinished = FindUnfinished();
    const HostTexts& texts = HostTextsFor(m_options.language);
    if (!unfinished) {
        if (m_options.resume)
            MessageBoxW(m_frame, Utf8ToWide(NoUnfinishedRunText(m_english)).c_str(), texts.title, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (m_options.resume) {
        MessageBoxW(m_frame, Utf8ToWide(UnfinishedRunText(*unfinished, m_english, RetryListUse::Loaded)).c_str(),
                    texts.title, MB_OK | MB_ICONINFORMATION);
    } else if (MessageBoxW(m_frame, Utf8ToWide(UnfinishedRunText(*unfinished, m_english, RetryListUse::Ask)).c_str(),
                           texts.title, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    m_pendingLoad = unfinished->retry;
    m_takenUp = unfinished;
    Poll();
}

void CRunProgress::OnCloseFlag(short flag)
{
    if (flag == 1) {
        Begin();
    } else if (m_running) {
        Report(true);
    }
}

void CRunProgress::Begin()
{
    m_running = false;
    const std::optional<DialogControls> dialog = FindDeviceWriteDialog(m_frame);
    if (!dialog) return;
    const std::wstring listPath = Utf8ToWide(ControlText(dialog->deviceList));
    std::string original;
    if (!ReadWholeFile(listPath, original)) return;
    // Data rows as the dialog counts them: the lines after the header.
    m_totalRows = CountRetryRows(original, {});
    if (m_totalRows == 0) return;  // the dialog says there is no data and ends at once
    m_list = dialog->list;
    m_running = true;
    m_lastDone = static_cast<std::size_t>(-1);
    m_lastItemCount = -1;
    m_startedAt = GetTickCount64();
    std::string error;
    m_recordFailed = !m_record.Begin(listPath, std::move(original), m_totalRows, m_english, error);
    m_hadRecord = m_record.Active();
    // The run that did not end is carried on by this one once its retry list runs.
    if (m_takenUp && PathKey(Utf8ToWide(m_takenUp->retry)) == PathKey(listPath)) {
        if (!MarkRunTakenUp(*m_takenUp, error)) m_recordFailed = true;
        m_takenUp.reset();
    }
    if (m_options.write) {
        if (m_hadRecord) PrintLine(RecordPlaceText(WideToUtf8Text(m_record.Paths().results),
                                                   WideToUtf8Text(m_record.Paths().retry),
                                                   m_record.Paths().inUserFolder, m_english));
        if (!error.empty()) PrintError("trevanil_host: " + error);
    } else if (!error.empty()) {
        MessageBoxW(m_frame, Utf8ToWide(error).c_str(), HostTextsFor(m_options.language).title, MB_OK | MB_ICONWARNING);
    }
    Report(false);
}

void CRunProgress::Poll()
{
    if (!m_pendingLoad.empty() || !m_status.HasOwnFont()) {
        if (const std::optional<DialogControls> dialog = FindDeviceWriteDialog(m_frame)) {
            if (!m_status.HasOwnFont()) m_status.UseFontOf(dialog->dialog);
            if (!m_pendingLoad.empty()) SetControlText(dialog->deviceList, m_pendingLoad);
            m_pendingLoad.clear();
        }
    }
    if (m_running) Report(false);
}

void CRunProgress::Report(bool final)
{
    // The list holds one item more than the rows done while the run goes on: a row done
    // adds an item. Only then is the whole list read (a long list has thousands).
    const LRESULT itemCount = SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0);
    if (!final && itemCount == m_lastItemCount) return;
    m_lastItemCount = itemCount;
    const std::vector<ResultItem> items = ReadResultList(m_list);
    const RunCounts counts = TallyResults(items, m_totalRows);
    if (!final && counts.done == m_lastDone) return;
    m_lastDone = counts.done;
    const std::int64_t elapsed = static_cast<std::int64_t>(GetTickCount64() - m_startedAt);
    const RunPhase phase = !final ? RunPhase::Running
                                  : counts.done == counts.total ? RunPhase::Ended : RunPhase::Interrupted;
    const std::string line =
        FormatProgressLine(counts, phase, EstimateMsLeft(counts.done, counts.total, elapsed, kControlTickMs), m_english);
    if (final) m_running = false;

    std::string error;
    if (m_record.Active()) {
        const RunStateKind kind = phase == RunPhase::Running ? RunStateKind::Running
                                  : phase == RunPhase::Ended ? RunStateKind::Ended
                                                             : RunStateKind::Interrupted;
        if (!m_record.Update(items, counts, kind, error) && !m_recordFailed) {
            // Said once: the operator should know that the record is no longer kept.
            m_recordFailed = true;
            if (m_options.write) PrintError("trevanil_host: " + error);
            else MessageBoxW(m_frame, Utf8ToWide(error).c_str(), HostTextsFor(m_options.language).title,
                             MB_OK | MB_ICONWARNING);
        }
    }
    m_status.SetText(line);
    if (m_options.write) PrintLine("progress: " + line);
}

std::string CRunProgress::RecordPlace() const
{
    if (!m_hadRecord) return std::string();
    return RecordPlaceText(WideToUtf8Text(m_record.Paths().results), WideToUtf8Text(m_record.Paths().retry),
                           m_record.Paths().inUserFolder, m_english);
}

} // namespace trevanil_host
