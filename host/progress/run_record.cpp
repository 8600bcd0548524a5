#include "run_record.h"

#include <windows.h>
#include <cstdio>
#include "activex/unique_handle.h"
#include "activex/wide_text.h"
#include "device_list.h"
#include "dialog_automation.h"
#include "progress/atomic_file.h"

namespace trevanil_host {
namespace {

constexpr std::size_t kMaxStateFileBytes = 256 * 1024;
constexpr int kMaxStateFilesScanned = 1000;

std::string TimeText(const SYSTEMTIME& time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay, time.wHour,
                  time.wMinute, time.wSecond);
    return text;
}

std::string LocalTimeText()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return TimeText(now);
}

// When a file was last written, in local time; empty when it cannot be told.
std::string LastWrittenText(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    FILETIME local{};
    SYSTEMTIME time{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &time))
        return std::string();
    return TimeText(time);
}

std::uint64_t FileTimeValue(const FILETIME& time)
{
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::uint64_t ProcessStartTime(HANDLE process)
{
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return FileTimeValue(created);
}

// Whether the host that wrote the state is still running (then its run is not a crashed one).
bool OwnerAlive(const RunState& state)
{
    if (state.pid == 0 || state.pid > 0xFFFFFFFFu) return false;
    activex::UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(state.pid)));
    if (!process) return false;
    DWORD code = 0;
    if (!GetExitCodeProcess(process.get(), &code) || code != STILL_ACTIVE) return false;
    return ProcessStartTime(process.get()) == state.processStart;
}

std::optional<RunState> ReadState(const std::wstring& path)
{
    activex::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    if (!file || !ReadAllBytes(file.get(), bytes, kMaxStateFileBytes)) return std::nullopt;
    return ParseRunState(bytes);
}

bool IsUnfinished(const std::optional<RunState>& state)
{
    return state && state->state == RunStateKind::Running && !OwnerAlive(*state);
}

// "%LOCALAPPDATA%\trevanil\runs\<key>" of a list: its record's files add their extension.
std::wstring RecordBase(const std::wstring& listPath)
{
    const std::wstring folder = UserHostFolder(L"runs");
    if (folder.empty()) return std::wstring();
    wchar_t name[16] = L"";
    swprintf(name, 16, L"\\%08x", static_cast<unsigned>(PathKey(listPath)));
    return folder + name;
}

std::vector<std::string> RowIps(const std::string& original)
{
    const DeviceList list = ParseDeviceList(original);
    std::vector<std::string> ips;
    ips.reserve(list.rows.size());
    for (const DeviceRow& row : list.rows) ips.push_back(row.size() > 2 ? row[2] : std::string());
    return ips;
}

JournalEvent Event(JournalEventKind kind, std::size_t row = 0)
{
    JournalEvent event;
    event.kind = kind;
    event.row = row;
    return event;
}

void FillCounts(RunState& state, const RunLedger& ledger)
{
    state.rows = ledger.RowCount();
    state.done = ledger.Done();
    state.succeeded = ledger.Written();
    state.failed = ledger.NotWritten();
}

// The journal and the list's bytes of a run, from its record (the list itself when the
// record's copy is gone).
bool LoadRun(const RunState& state, JournalReplay& replay, std::string& original, std::string& error)
{
    const std::wstring listPath = Utf8ToWide(state.list);
    const std::wstring base = RecordBase(listPath);
    std::string bytes;
    if (base.empty() || !ReadJournalBytes(base + L".journal", bytes)) {
        error = "the journal of the run of " + state.list + " cannot be read";
        return false;
    }
    std::optional<JournalReplay> replayed = ReplayJournal(bytes);
    if (!replayed || !replayed->ledger.Started()) {
        error = "the journal of the run of " + state.list + " is damaged";
        return false;
    }
    replay = std::move(*replayed);
    if (!ReadWholeFile(base + L".list", original) && !ReadWholeFile(listPath, original)) {
        error = "the device list " + state.list + " cannot be read";
        return false;
    }
    return true;
}

} // namespace

std::wstring RunStatePath(const std::wstring& listPath)
{
    const std::wstring base = RecordBase(listPath);
    return base.empty() ? base : base + L".txt";
}

const std::string& CRunRecord::DeviceIp(std::size_t row) const
{
    static const std::string kNone;
    return row < m_ips.size() ? m_ips[row] : kNone;
}

RecordStart CRunRecord::OpenPaths(const std::wstring& listPath, bool english, std::string& error)
{
    *this = CRunRecord();
    m_listPath = listPath;
    m_english = english;
    const std::wstring base = RecordBase(listPath);
    if (base.empty()) {
        error = "the user's folder %LOCALAPPDATA%\\trevanil cannot be written: the run has no record";
        return RecordStart::Failed;
    }
    m_statePath = base + L".txt";
    m_journalPath = base + L".journal";
    m_copyPath = base + L".list";
    return RecordStart::Done;
}

RecordStart CRunRecord::BeginRun(const std::wstring& listPath, std::string original, bool english, std::string& error)
{
    if (const RecordStart opened = OpenPaths(listPath, english, error); opened != RecordStart::Done) return opened;
    if (const CJournalFile::Open created = m_journal.Create(m_journalPath, error); created != CJournalFile::Open::Done)
        return created == CJournalFile::Open::Busy ? RecordStart::Busy : RecordStart::Failed;
    m_original = std::move(original);
    m_ips = RowIps(m_original);
    if (m_ips.size() > kMaxLedgerRows) {
        m_journal.Close();
        error = "the list has more than " + std::to_string(kMaxLedgerRows) + " rows: the run has no record";
        return RecordStart::Failed;
    }
    m_active = true;
    std::string step;
    if (!ReplaceFileWhole(m_copyPath, m_original, step)) Fail(step);
    if (!m_journal.Append(JournalFirstLine(), false, step)) Fail(step);
    Journal(Event(JournalEventKind::RunStarted, m_ips.size()), true);
    m_itemRows.resize(m_ips.size());
    for (std::size_t i = 0; i < m_itemRows.size(); ++i) m_itemRows[i] = i;

    if (std::optional<RunFilePaths> placed = PlaceRunFiles(listPath, FormatLedgerResultsCsv(m_ledger, english),
                                                            BuildLedgerRetryList(m_original, m_ledger), step))
        m_paths = *placed;
    else
        Fail(step);
    m_state = RunState();
    m_state.list = activex::Utf8FromWide(listPath);
    m_state.results = activex::Utf8FromWide(m_paths.results.empty() ? listPath : m_paths.results);
    m_state.retry = activex::Utf8FromWide(m_paths.retry.empty() ? listPath : m_paths.retry);
    m_state.started = LocalTimeText();
    m_state.pid = GetCurrentProcessId();
    m_state.processStart = ProcessStartTime(GetCurrentProcess());
    if (!WriteState(RunStateKind::Running, step)) Fail(step);
    error = m_error;
    return RecordStart::Done;
}

RecordStart CRunRecord::BeginResume(const RunState& state, bool english, std::string& error)
{
    if (const RecordStart opened = OpenPaths(Utf8ToWide(state.list), english, error); opened != RecordStart::Done)
        return opened;
    std::string bytes;
    if (const CJournalFile::Open opened = m_journal.Reopen(m_journalPath, bytes, error);
        opened != CJournalFile::Open::Done)
        return opened == CJournalFile::Open::Busy ? RecordStart::Busy : RecordStart::Failed;
    std::optional<JournalReplay> replay = ReplayJournal(bytes);
    if (!replay || !replay->ledger.Started()) {
        error = "the journal " + activex::Utf8FromWide(m_journalPath) + " is damaged";
        m_journal.Close();
        return RecordStart::Failed;
    }
    // Whatever a crash left after the last whole line goes, so the lines added now count.
    if (replay->tornTail && !m_journal.CutAt(replay->wholeBytes, error)) {
        m_journal.Close();
        return RecordStart::Failed;
    }
    if (!ReadWholeFile(m_copyPath, m_original) && !ReadWholeFile(m_listPath, m_original)) {
        error = "the device list " + state.list + " cannot be read";
        m_journal.Close();
        return RecordStart::Failed;
    }
    m_ips = RowIps(m_original);
    m_ledger = std::move(replay->ledger);
    m_itemRows = m_ledger.RowsToDo();
    m_active = true;
    Journal(Event(JournalEventKind::RunResumed), true);
    m_paths.results = Utf8ToWide(state.results);
    m_paths.retry = Utf8ToWide(state.retry);
    m_state = state;
    m_state.pid = GetCurrentProcessId();
    m_state.processStart = ProcessStartTime(GetCurrentProcess());
    std::string step;
    if (!WriteState(RunStateKind::Running, step)) Fail(step);
    error = m_error;
    return RecordStart::Done;
}

std::optional<std::size_t> CRunRecord::OnItem(std::size_t item, const ResultItem& result, bool written)
{
    if (!m_active || item >= m_itemRows.size()) return std::nullopt;
    JournalEvent event = Event(written ? JournalEventKind::RowWritten : JournalEventKind::RowNotWritten,
                               m_itemRows[item]);
    event.result = result.result;
    event.deviceName = result.deviceName;
    event.deviceId = result.deviceId;
    for (std::string ListItem::*column : FurtherColumns()) event.further.push_back(result.*column);
    Journal(event, true);  // the one flush of a row
    return m_itemRows[item];
}

void CRunRecord::OnRestarted(std::size_t row) { JournalRowLine(JournalEventKind::RowRestarted, row); }

void CRunRecord::OnRestartGivenUp(std::size_t row) { JournalRowLine(JournalEventKind::RestartGivenUp, row); }

void CRunRecord::JournalRowLine(JournalEventKind kind, std::size_t row)
{
    if (!m_active) return;
    // On the disk with the next row's line: lost in a power loss, the row is only owed.
    Journal(Event(kind, row), false);
}

void CRunRecord::OnRunOver(bool completed)
{
    if (!m_active || m_over) return;
    Journal(Event(completed ? JournalEventKind::RunEnded : JournalEventKind::RunInterrupted), true);
    m_over = true;
    m_completed = completed;
}

void CRunRecord::Finish()
{
    if (!m_active) return;
    std::string step;
    std::string flushError;
    m_journal.Append(std::string(), true, flushError);  // the restarts seen since the last row
    const std::string results = FormatLedgerResultsCsv(m_ledger, m_english);
    const std::string retry = BuildLedgerRetryList(m_original, m_ledger);
    if (m_paths.results.empty() || !WriteRunFilesAt(m_paths, results, retry, step)) {
        const std::string atItsPlace = step;
        if (std::optional<RunFilePaths> placed = PlaceRunFiles(m_listPath, results, retry, step)) {
            m_paths = *placed;
            m_paths.renamed = true;
        }
        Fail(atItsPlace);
    }
    if (m_paths.renamed && m_error.empty())
        Fail("a file of the run was held open by another program and was written beside it");
    m_state.results = activex::Utf8FromWide(m_paths.results);
    m_state.retry = activex::Utf8FromWide(m_paths.retry);
    const RunStateKind kind = m_over && m_completed ? RunStateKind::Ended : RunStateKind::Interrupted;
    if (!WriteState(kind, step)) {
        // A state that cannot say the run ended must not say it is running.
        DeleteFileW(m_statePath.c_str());
        Fail(step);
    }
    m_journal.Close();
    m_active = false;
}

void CRunRecord::Journal(const JournalEvent& event, bool flush)
{
    m_ledger.Apply(event);
    std::string error;
    if (m_journal.IsOpen() && !m_journal.Append(FormatJournalLine(event), flush, error)) Fail(error);
}

void CRunRecord::Fail(const std::string& error)
{
    if (m_error.empty()) m_error = error.empty() ? std::string("the run's record cannot be written") : error;
}

bool CRunRecord::WriteState(RunStateKind kind, std::string& error)
{
    m_state.state = kind;
    FillCounts(m_state, m_ledger);
    m_state.updated = LocalTimeText();
    const std::optional<std::string> text = FormatRunState(m_state);
    if (!text) {
        error = "the run's state cannot be written as text";
        return false;
    }
    return ReplaceFileWhole(m_statePath, *text, error);
}

std::optional<RunState> FindUnfinishedRun(const std::wstring& listPath, bool english, std::string& error)
{
    std::optional<RunState> found;
    if (!listPath.empty()) {
        const std::wstring path = RunStatePath(listPath);
        if (path.empty()) return std::nullopt;
        found = ReadState(path);
        if (!IsUnfinished(found)) return std::nullopt;
    } else {
        const std::wstring folder = UserHostFolder(L"runs");
        if (folder.empty()) return std::nullopt;
        WIN32_FIND_DATAW entry{};
        activex::UniqueFindHandle search(FindFirstFileW((folder + L"\\*.txt").c_str(), &entry));
        if (!search) return std::nullopt;
        int scanned = 0;
        do {
            std::optional<RunState> state = ReadState(folder + L"\\" + entry.cFileName);
            if (IsUnfinished(state) && (!found || state->updated > found->updated)) found = std::move(state);
        } while (++scanned < kMaxStateFilesScanned && FindNextFileW(search.get(), &entry));
        if (!found) return std::nullopt;
    }
    // What the journal holds, and both files rebuilt from it: they are as old as the run's start.
    JournalReplay replay;
    std::string original;
    if (!LoadRun(*found, replay, original, error)) return found;
    FillCounts(*found, replay.ledger);
    const std::string lastWritten = LastWrittenText(RecordBase(Utf8ToWide(found->list)) + L".journal");
    if (!lastWritten.empty()) found->updated = lastWritten;
    RunFilePaths paths{Utf8ToWide(found->results), Utf8ToWide(found->retry), false, false};
    if (WriteRunFilesAt(paths, FormatLedgerResultsCsv(replay.ledger, english),
                        BuildLedgerRetryList(original, replay.ledger), error)) {
        found->results = activex::Utf8FromWide(paths.results);
        found->retry = activex::Utf8FromWide(paths.retry);
    }
    return found;
}

bool HasUnfinishedRun(const std::wstring& listPath)
{
    const std::wstring path = RunStatePath(listPath);
    return !path.empty() && IsUnfinished(ReadState(path));
}

std::optional<RunState> FindRunningElsewhere(const std::wstring& listPath)
{
    const std::wstring path = RunStatePath(listPath);
    if (path.empty()) return std::nullopt;
    std::optional<RunState> state = ReadState(path);
    if (!state || state->state != RunStateKind::Running || state->pid == GetCurrentProcessId() || !OwnerAlive(*state))
        return std::nullopt;
    return state;
}

std::optional<std::wstring> KeepRecordAside(const std::wstring& listPath, std::string& error)
{
    const std::wstring base = RecordBase(listPath);
    if (base.empty()) {
        error = "the user's folder %LOCALAPPDATA%\\trevanil cannot be had";
        return std::nullopt;
    }
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t stamp[32] = L"";
    swprintf(stamp, 32, L"-%04u%02u%02u%02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
             now.wSecond);
    std::optional<std::wstring> statePath;
    for (const wchar_t* extension : {L".journal", L".list", L".txt"}) {
        const std::wstring from = base + extension;
        const std::wstring to = base + stamp + extension + L".aside";
        if (GetFileAttributesW(from.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
            error = "cannot keep " + activex::Utf8FromWide(from) + " aside (error " + std::to_string(GetLastError()) + ")";
            return std::nullopt;
        }
        if (std::wstring(extension) == L".txt") statePath = to;
    }
    return statePath;
}

} // namespace trevanil_host
