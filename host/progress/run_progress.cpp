#include "run_progress.h"

#include "batch_run.h"
#include "batch_view.h"
#include "console_out.h"
#include "dialog_automation.h"
#include "progress/awake_clock.h"
#include "host_texts.h"
#include "progress/progress_text.h"
#include "progress/record_texts.h"
#include "result_kinds.h"
#include "restart_wait.h"
#include "run_files.h"

namespace trevanil_host {
namespace {

// The batch control's tick: one row each. The estimate starts from it and then follows
// the pace measured.
constexpr std::int64_t kControlTickMs = kRunTimerPeriodMs;
// A written row's restart comes about five seconds after it; a run's record is finished
// once every restart is seen, or this long after the run's last row at the latest.
constexpr ULONGLONG kRestartGraceMs = 20000;
constexpr unsigned kRestartPollMs = 100;
// A restart's close is tried three times a second apart before it is given up (and its
// rows are owed again): a record is finished no sooner after the last restart.
constexpr ULONGLONG kCloseTriesMs = 5000;

std::uint64_t Token(std::uint64_t generation, std::size_t row) { return generation << 32 | row; }

} // namespace

CRunProgress::CRunProgress(const HostOptions& options)
    : m_options(options), m_english(options.language == kLanguageEnglish), m_pace(kControlTickMs)
{
    m_log.Start();  // what the module logs from now on is this host's
}

bool CRunProgress::Create(HWND frame)
{
    m_frame = frame;
    return m_status.Create(frame);
}

void CRunProgress::Tell(const std::string& text, UINT icon)
{
    if (m_options.write) {
        if (icon == MB_ICONINFORMATION) PrintLine(text);
        else PrintError("trevanil_host: " + text);
    } else {
        // Shown from the next poll: never a message box inside the control's event.
        m_notices.push_back({text, icon});
    }
}

void CRunProgress::ShowNotices()
{
    for (const Notice& notice : std::exchange(m_notices, {}))
        MessageBoxW(m_frame, Utf8ToWide(notice.text).c_str(), Utf8ToWide(HostTextsFor(m_options.language).title).c_str(),
                    MB_OK | notice.icon);
}

std::optional<HostExit> CRunProgress::PrepareWrite(HostOptions& options, std::string& error)
{
    const std::wstring listPath = options.deviceList ? FullPath(Utf8ToWide(*options.deviceList)) : std::wstring();
    if (!listPath.empty()) {
        if (const std::optional<RunState> running = FindRunningElsewhere(listPath)) {
            error = ListBusyText(*running, m_english);
            return HostExit::ListBusy;
        }
    }
    std::string rebuildError;
    const std::optional<RunState> unfinished = FindUnfinishedRun(listPath, m_english, rebuildError);
    if (!rebuildError.empty()) PrintError("trevanil_host: " + rebuildError);
    if (!unfinished) {
        if (!options.resume) return std::nullopt;
        error = NoUnfinishedRunText(m_english);
        return HostExit::NothingToResume;
    }
    if (!options.resume) {
        // Starting over would overwrite the record of the rows still owed.
        error = UnfinishedRunText(*unfinished, m_english, RetryListUse::Refused);
        return HostExit::UnfinishedRun;
    }
    PrintLine(UnfinishedRunText(*unfinished, m_english, RetryListUse::Loaded));
    options.deviceList = unfinished->retry;
    m_resume = unfinished;
    return std::nullopt;
}

void CRunProgress::OfferUnfinishedRun()
{
    const std::wstring listPath = m_options.deviceList ? FullPath(Utf8ToWide(*m_options.deviceList)) : std::wstring();
    std::string error;
    const std::optional<RunState> unfinished = FindUnfinishedRun(listPath, m_english, error);
    const std::wstring title = Utf8ToWide(HostTextsFor(m_options.language).title);
    if (!unfinished) {
        if (m_options.resume)
            MessageBoxW(m_frame, Utf8ToWide(NoUnfinishedRunText(m_english)).c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (m_options.resume) {
        MessageBoxW(m_frame, Utf8ToWide(UnfinishedRunText(*unfinished, m_english, RetryListUse::Loaded)).c_str(),
                    title.c_str(), MB_OK | MB_ICONINFORMATION);
    } else if (MessageBoxW(m_frame, Utf8ToWide(UnfinishedRunText(*unfinished, m_english, RetryListUse::Ask)).c_str(),
                           title.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    m_pendingLoad = unfinished->retry;
    m_resume = unfinished;
    Poll();
}

void CRunProgress::OnCloseFlag(short flag)
{
    if (flag == 1) {
        Begin();
    } else if (m_running) {
        ReadNewItems();
        m_record.OnRunOver(m_counts.done == m_counts.total);
        m_overAt = GetTickCount64();
        Report(true);
    }
}

void CRunProgress::Begin()
{
    if (m_record.Active()) FinishRecord();  // the last run's restarts are not waited for any longer
    m_running = false;
    const std::optional<DialogControls> dialog = FindDeviceWriteDialog(m_frame);
    if (!dialog) return;
    const std::wstring listPath = FullPath(Utf8ToWide(ControlText(dialog->deviceList)));
    std::string original;
    if (!ReadWholeFile(listPath, original)) return;
    // Data rows as the dialog counts them: the lines after the header.
    const std::size_t rows = CountRetryRows(original, {});
    if (rows == 0) return;  // the dialog says there is no data and ends at once
    m_list = dialog->list;
    m_running = true;
    m_nextItem = 0;
    m_counts = RunCounts();
    m_counts.total = rows;
    m_lastReported = static_cast<std::size_t>(-1);
    m_pace.Start(AwakeMs());  // time asleep does not count
    m_failureTold = false;
    // No sleep and no end of the session while devices are written or due to restart.
    m_awake = std::make_unique<CRunKeepAwake>(
        m_frame, FillText(HostTextsIn(m_english).writingList, {WideToUtf8Text(listPath)}));
    ++m_generation;

    std::string error;
    RecordStart started = RecordStart::Failed;
    if (m_resume && PathKey(FullPath(Utf8ToWide(m_resume->retry))) == PathKey(listPath)) {
        started = m_record.BeginResume(*m_resume, m_english, error);
    } else {
        // The operator chose not to carry that run on: its record is kept, under another
        // name; where it cannot be moved, this run goes without one rather than overwrite it.
        std::optional<std::wstring> aside;
        const bool unfinished = !m_options.write && HasUnfinishedRun(listPath);
        if (unfinished && (aside = KeepRecordAside(listPath, error)))
            Tell(KeptAsideText(WideToUtf8Text(*aside), m_english), MB_ICONINFORMATION);
        if (!unfinished || aside) started = m_record.BeginRun(listPath, std::move(original), m_english, error);
    }
    m_resume.reset();
    if (started == RecordStart::Busy) {
        // Another host writes this list: this run would write its devices under its feet.
        PressButton(dialog->cancel);
        Tell(ListBusyText(RunState(), m_english), MB_ICONWARNING);
        m_outcome.push_back(HostExit::ListBusy);
    } else if (!error.empty() || started == RecordStart::Failed) {
        TellRecordFailure(error);
    }
    if (m_options.write && m_record.Active()) PrintLine(PlaceText());
    Report(false);
}

void CRunProgress::ReadNewItems()
{
    // Only the items after the last one read: the list of a long run has thousands.
    const int count = ResultItemCount(m_list);
    while (m_nextItem < count && static_cast<std::size_t>(m_nextItem) < m_counts.total) {
        if (ReadListText(m_list, m_nextItem, ListColumn::kResult).empty()) break;  // the run's progress, not a row yet
        const ResultItem item = ReadResultItem(m_list, m_nextItem);
        const bool written = IsWrittenResult(item.result);
        ++m_counts.done;
        ++(written ? m_counts.succeeded : m_counts.failed);
        m_pace.RowDone(AwakeMs());
        const std::optional<std::size_t> row = m_record.OnItem(static_cast<std::size_t>(m_nextItem), item, written);
        if (written && row) m_tracker.OnRowWritten(Token(m_generation, *row), m_record.DeviceIp(*row));
        ++m_nextItem;
    }
}

void CRunProgress::ReadLog()
{
    m_log.Poll([this](std::string_view line) { m_tracker.OnLogLine(line); });
    for (std::uint64_t token : m_tracker.TakeRestarted()) {
        if (token >> 32 != m_generation) continue;
        m_record.OnRestarted(static_cast<std::size_t>(token & 0xFFFFFFFFu));
        m_lastRestartAt = GetTickCount64();
    }
    for (std::uint64_t token : m_tracker.TakeGivenUp())
        if (token >> 32 == m_generation) m_record.OnRestartGivenUp(static_cast<std::size_t>(token & 0xFFFFFFFFu));
}

void CRunProgress::Poll()
{
    if (m_inPoll) return;  // a message box of ours serves the timer
    m_inPoll = true;
    if (!m_pendingLoad.empty() || !m_status.HasOwnFont()) {
        if (const std::optional<DialogControls> dialog = FindDeviceWriteDialog(m_frame)) {
            if (!m_status.HasOwnFont()) m_status.UseFontOf(dialog->dialog);
            if (!m_pendingLoad.empty()) SetControlText(dialog->deviceList, m_pendingLoad);
            m_pendingLoad.clear();
        }
    }
    if (m_running) Report(false);
    ReadLog();
    const ULONGLONG now = GetTickCount64();
    if (m_record.Active() && m_record.Over() &&
        ((m_record.Ledger().Owed() == 0 && now - m_lastRestartAt > kCloseTriesMs) || now - m_overAt > kRestartGraceMs))
        FinishRecord();
    ShowNotices();
    m_inPoll = false;
}

void CRunProgress::Report(bool final)
{
    if (!final) ReadNewItems();
    if (!final && m_counts.done == m_lastReported) return;
    m_lastReported = m_counts.done;
    const RunPhase phase = !final ? RunPhase::Running
                                  : m_counts.done == m_counts.total ? RunPhase::Ended : RunPhase::Interrupted;
    std::string line = FormatProgressLine(m_counts, phase, m_pace.MsLeft(m_counts.total - m_counts.done), m_english);
    if (m_record.Failed()) line += RecordFailedNote(m_english);
    if (final) m_running = false;
    m_status.SetText(line);
    if (m_options.write) PrintLine("progress: " + line);
}

void CRunProgress::TellRecordFailure(const std::string& error)
{
    if (m_failureTold) return;
    m_failureTold = true;
    const std::string text = RecordFailureText(error.empty() ? m_record.FirstError() : error, m_english);
    m_status.SetText(text);
    Tell(text, MB_ICONWARNING);
}

std::string CRunProgress::PlaceText() const
{
    const RunFilePaths& paths = m_record.Paths();
    return RecordPlaceText(WideToUtf8Text(paths.results), WideToUtf8Text(paths.retry), paths.inUserFolder,
                           paths.renamed, m_english);
}

void CRunProgress::FinishRecord()
{
    const bool failedBefore = m_record.Failed();
    const RunLedger& ledger = m_record.Ledger();
    // Said before the files are replaced: whoever reads it finds them as they were, or final.
    if (m_options.write) PrintLine(RestartSummaryText(ledger.Restarted(), ledger.Written(), m_english));
    m_record.Finish();
    m_awake.reset();
    bool refused = false;
    for (std::size_t i = 0; i < ledger.RowCount() && !refused; ++i)
        refused = ledger.Row(i).outcome == RowOutcome::NotWritten &&
                  ClassifyResult(ledger.Row(i).result) == ResultKind::Failed;
    if (refused) m_outcome.push_back(HostExit::RowsNotWritten);
    if (ledger.Owed() > 0) m_outcome.push_back(HostExit::RestartsNotSeen);
    if (ledger.Done() < ledger.RowCount()) m_outcome.push_back(HostExit::RunNotCompleted);
    if (m_record.Failed()) {
        m_outcome.push_back(HostExit::RecordFailed);
        if (!failedBefore) TellRecordFailure(m_record.FirstError());
    }
    if (ledger.Owed() > 0) {
        std::string owed;
        for (const std::string& address : m_tracker.AddressesOwed()) owed += (owed.empty() ? "" : ", ") + address;
        PrintError("trevanil_host: device restarts not seen: not yet restarted " + owed);
    }
    if (!m_record.Paths().results.empty()) Tell(PlaceText(), MB_ICONINFORMATION);
}

void CRunProgress::AwaitRestartsAndFinish(int limitSeconds)
{
    if (DeviceModuleBusy() || (m_record.Active() && m_record.Ledger().Owed() > 0)) {
        if (m_options.write) PrintLine("waiting for the restarts of the devices written");
        const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(limitSeconds) * 1000;
        for (;;) {
            ServeMessages();  // the module releases its libraries through this thread's messages
            ReadLog();
            // Idle, it has nothing more to restart (a restart that failed leaves its row owed).
            if (!DeviceModuleBusy() || GetTickCount64() > deadline) break;
            WaitForMessages(kRestartPollMs);
        }
        ReadLog();
    }
    if (m_record.Active()) FinishRecord();
}

} // namespace trevanil_host
