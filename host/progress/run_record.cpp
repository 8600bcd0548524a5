#include "run_record.h"

#include <windows.h>
#include <cstdio>
#include "activex/unique_handle.h"
#include "activex/wide_text.h"
#include "progress/atomic_file.h"

namespace trevanil_host {
namespace {

constexpr std::size_t kMaxStateFileBytes = 256 * 1024;
constexpr int kMaxStateFilesScanned = 1000;

std::string LocalTimeText()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    return text;
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
    std::string bytes;
    activex::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    char buffer[16384];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
        if (bytes.size() > kMaxStateFileBytes) return std::nullopt;
    }
    return ParseRunState(bytes);
}

bool IsUnfinished(const std::optional<RunState>& state)
{
    return state && state->state == RunStateKind::Running && !OwnerAlive(*state);
}

} // namespace

std::wstring RunStatePath(const std::wstring& listPath)
{
    const std::wstring folder = UserHostFolder(L"runs");
    if (folder.empty()) return std::wstring();
    wchar_t name[24] = L"";
    swprintf(name, 24, L"\\%08x.txt", static_cast<unsigned>(PathKey(listPath)));
    return folder + name;
}

bool CRunRecord::Begin(const std::wstring& listPath, std::string original, std::size_t totalRows, bool english,
                       std::string& error)
{
    m_active = false;
    m_listPath = listPath;
    m_original = std::move(original);
    m_english = english;
    m_paths = RunFilesBeside(listPath);
    if (!WriteRunFiles(m_paths, m_original, {}, english, error)) {
        const std::string besideError = error;
        m_paths = RunFilesInUserFolder(listPath);
        if (m_paths.results.empty() || !WriteRunFiles(m_paths, m_original, {}, english, error)) {
            error = besideError + "; " + error;
            return false;
        }
        error.clear();  // the place is told with the paths
    }
    m_active = true;
    m_statePath = RunStatePath(listPath);
    m_state = RunState();
    m_state.list = activex::Utf8FromWide(listPath);
    m_state.results = activex::Utf8FromWide(m_paths.results);
    m_state.retry = activex::Utf8FromWide(m_paths.retry);
    m_state.rows = totalRows;
    m_state.started = m_state.updated = LocalTimeText();
    m_state.pid = GetCurrentProcessId();
    m_state.processStart = ProcessStartTime(GetCurrentProcess());
    return WriteState(error);
}

bool CRunRecord::Update(const std::vector<ResultItem>& items, const RunCounts& counts, RunStateKind kind,
                        std::string& error)
{
    if (!m_active) return false;
    if (!WriteRunFiles(m_paths, m_original, items, m_english, error)) return false;
    m_state.state = kind;
    m_state.done = counts.done;
    m_state.succeeded = counts.succeeded;
    m_state.failed = counts.failed;
    m_state.updated = LocalTimeText();
    if (kind != RunStateKind::Running) m_active = false;
    return WriteState(error);
}

bool CRunRecord::WriteState(std::string& error)
{
    if (m_statePath.empty()) {
        error = "the user's folder %LOCALAPPDATA%\\trevanil cannot be written: the run has no state file";
        return false;
    }
    const std::optional<std::string> text = FormatRunState(m_state);
    if (!text) {
        error = "the run's state cannot be written as text";
        return false;
    }
    return ReplaceFileWhole(m_statePath, *text, error);
}

std::optional<RunState> FindUnfinishedRun(const std::wstring& listPath)
{
    if (!listPath.empty()) {
        const std::wstring path = RunStatePath(listPath);
        if (path.empty()) return std::nullopt;
        std::optional<RunState> state = ReadState(path);
        return IsUnfinished(state) ? state : std::nullopt;
    }
    const std::wstring folder = UserHostFolder(L"runs");
    if (folder.empty()) return std::nullopt;
    WIN32_FIND_DATAW found{};
    activex::UniqueFindHandle search(FindFirstFileW((folder + L"\\*.txt").c_str(), &found));
    if (!search) return std::nullopt;
    std::optional<RunState> newest;
    int scanned = 0;
    do {
        std::optional<RunState> state = ReadState(folder + L"\\" + found.cFileName);
        if (IsUnfinished(state) && (!newest || state->updated > newest->updated)) newest = std::move(state);
    } while (++scanned < kMaxStateFilesScanned && FindNextFileW(search.get(), &found));
    return newest;
}

bool MarkRunTakenUp(RunState state, std::string& error)
{
    const std::wstring path = RunStatePath(activex::WideFromNarrow(state.list));
    state.state = RunStateKind::Interrupted;
    const std::optional<std::string> text = FormatRunState(state);
    if (path.empty() || !text) {
        error = "the state of the earlier run cannot be written";
        return false;
    }
    return ReplaceFileWhole(path, *text, error);
}

} // namespace trevanil_host
