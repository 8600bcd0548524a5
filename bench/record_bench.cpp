// Prints what the host's record of a batch run and its look at the result list cost as the
// list grows: per row, the journal's two lines (a row's result flushed, its device's
// restart not) with the ledger kept beside them, at 1,000, 10,000 and 100,000 rows; once a
// run, the results file and retry list built from the ledger; and one poll of a 100,000-item
// result list against one of a 100-item list. Figures only; nothing is asserted on speed.
// Usage: record_bench   (no arguments; the journals go to a folder of its own under %TEMP%)
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "activex/unique_handle.h"
#include "bench_support.h"
#include "dialog_automation.h"
#include "export/run_exports.h"
#include "progress/journal_file.h"
#include "progress/run_journal.h"

namespace {

using trevanil_host::JournalEvent;
using trevanil_host::JournalEventKind;

// A folder of this process's own under %TEMP%, removed with whatever is left in it.
class TempFolder {
public:
    TempFolder()
    {
        wchar_t temp[MAX_PATH] = L"";
        const DWORD length = GetTempPathW(MAX_PATH, temp);
        if (length == 0 || length >= MAX_PATH) return;
        wchar_t name[48] = L"";
        swprintf(name, 48, L"record-bench-%lu", static_cast<unsigned long>(GetCurrentProcessId()));
        const std::wstring path = std::wstring(temp) + name;
        if (CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) m_path = path;
    }
    ~TempFolder()
    {
        if (m_path.empty()) return;
        WIN32_FIND_DATAW entry{};
        {
            activex::UniqueFindHandle search(FindFirstFileW((m_path + L"\\*").c_str(), &entry));
            if (search) {
                do {
                    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                        DeleteFileW((m_path + L"\\" + entry.cFileName).c_str());
                } while (FindNextFileW(search.get(), &entry));
            }
        }
        RemoveDirectoryW(m_path.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

// The device list a run of `rows` rows was started from (the retry list is cut from it).
std::string DeviceListText(int rows)
{
    std::string text = "name,remark,device ip,user,password,model,serial,location,device id\r\n";
    char line[128];
    for (int i = 0; i < rows; ++i) {
        const int n = std::snprintf(line, sizeof line, "Cam-%06d,,10.%d.%d.%d,,,,,,PU-%06d\r\n", i, i / 65536,
                                    (i / 256) % 256, i % 256, i);
        if (n > 0 && static_cast<std::size_t>(n) < sizeof line) text.append(line, static_cast<std::size_t>(n));
    }
    return text;
}

struct RecordRun {
    bool ok = false;
    double rowsSeconds = 0;     // the per-row loop alone
    double medianRowSeconds = 0; // a row, from the median of its 100-row stretches
    std::size_t rowBytes = 0;   // bytes the rows' lines took
    double endSeconds = 0;      // results file and retry list from the ledger
    std::size_t resultsBytes = 0;
    std::size_t retryBytes = 0;
};

// One run of the record as the host keeps it: the first line and the start, then per row
// its result (flushed: the row's one flush) and its device's restart (not flushed), each
// also applied to the ledger; at the end, the two files built from the ledger.
RecordRun RunRecord(const std::wstring& journalPath, const std::string& original, int rows)
{
    RecordRun run;
    trevanil_host::CJournalFile journal;
    trevanil_host::RunLedger ledger;
    std::string error;
    if (journal.Create(journalPath, error) != trevanil_host::CJournalFile::Open::Done) {
        std::printf("  %s\n", error.c_str());
        return run;
    }
    bool appended = journal.Append(trevanil_host::JournalFirstLine(), false, error);
    JournalEvent start;
    start.kind = JournalEventKind::RunStarted;
    start.row = static_cast<std::uint64_t>(rows);
    appended = appended && ledger.Apply(start) && journal.Append(trevanil_host::FormatJournalLine(start), true, error);

    // A disk's flush now and then takes much longer than the others, whatever the
    // journal's length: the median stretch tells what a row costs, the total what it came to.
    constexpr int kStretch = 100;
    std::vector<double> stretches;
    stretches.reserve(static_cast<std::size_t>(rows / kStretch) + 1);
    const double begin = Now();
    double stretchStart = begin;
    for (int i = 0; i < rows && appended; ++i) {
        if (i > 0 && i % kStretch == 0) {
            const double now = Now();
            stretches.push_back(now - stretchStart);
            stretchStart = now;
        }
        char name[16], id[16];
        std::snprintf(name, sizeof name, "Cam-%06d", i);
        std::snprintf(id, sizeof id, "PU-%06d", i);
        JournalEvent written;
        written.kind = JournalEventKind::RowWritten;
        written.row = static_cast<std::uint64_t>(i);
        written.result = "Succeeded.";
        written.deviceName = name;
        written.deviceId = id;
        const std::string writtenLine = trevanil_host::FormatJournalLine(written);
        appended = ledger.Apply(written) && journal.Append(writtenLine, true, error);

        JournalEvent restarted;
        restarted.kind = JournalEventKind::RowRestarted;
        restarted.row = static_cast<std::uint64_t>(i);
        const std::string restartedLine = trevanil_host::FormatJournalLine(restarted);
        appended = appended && ledger.Apply(restarted) && journal.Append(restartedLine, false, error);
        run.rowBytes += writtenLine.size() + restartedLine.size();
    }
    run.rowsSeconds = Now() - begin;
    stretches.push_back(Now() - stretchStart);
    std::nth_element(stretches.begin(), stretches.begin() + stretches.size() / 2, stretches.end());
    run.medianRowSeconds = stretches[stretches.size() / 2] / kStretch;

    const double endStart = Now();
    const std::string results = trevanil_host::FormatLedgerResultsCsv(ledger, true);
    const std::string retry = trevanil_host::BuildLedgerRetryList(original, ledger);
    run.endSeconds = Now() - endStart;
    run.resultsBytes = results.size();
    run.retryBytes = retry.size();
    journal.Close();

    if (!appended) {
        std::printf("  the journal could not be written: %s\n", error.empty() ? "a row did not fit the ledger" : error.c_str());
        return run;
    }
    // What was timed is a whole, readable journal of every row restarted.
    std::string bytes;
    const std::optional<trevanil_host::JournalReplay> replay =
        trevanil_host::ReadJournalBytes(journalPath, bytes) ? trevanil_host::ReplayJournal(bytes) : std::nullopt;
    run.ok = ledger.Restarted() == static_cast<std::size_t>(rows) && replay && !replay->tornTail &&
             replay->ledger.Restarted() == static_cast<std::size_t>(rows);
    if (!run.ok) std::printf("  the journal of %d rows does not replay to %d restarted rows\n", rows, rows);
    DeleteFileW(journalPath.c_str());
    return run;
}

int BenchRecord()
{
    constexpr int kSizes[] = {1000, 10000, 100000};
    constexpr int kSizeCount = 3;
    constexpr int kRounds = 3;
    TempFolder folder;
    if (folder.Path().empty()) {
        std::printf("no folder for the journals under %%TEMP%%\n");
        return 1;
    }
    std::string originals[kSizeCount];
    for (int s = 0; s < kSizeCount; ++s) originals[s] = DeviceListText(kSizes[s]);

    RecordRun best[kSizeCount];
    double bestEnd[kSizeCount];
    std::fill(std::begin(bestEnd), std::end(bestEnd), 1e9);
    // The sizes take turns, so a slower spell of the machine does not fall on one size only.
    for (int round = 0; round < kRounds; ++round) {
        for (int s = 0; s < kSizeCount; ++s) {
            const RecordRun run = RunRecord(folder.Path() + L"\\run.journal", originals[s], kSizes[s]);
            if (!run.ok) return 1;
            if (round == 0 || run.medianRowSeconds < best[s].medianRowSeconds) best[s] = run;
            bestEnd[s] = std::min(bestEnd[s], run.endSeconds);
        }
    }

    std::printf("the run's record per row: result line flushed, restart line not, both applied to the ledger\n"
                "(the median of 100-row stretches, best of %d; the whole run's mean after it):\n", kRounds);
    double perRow[kSizeCount];
    for (int s = 0; s < kSizeCount; ++s) {
        perRow[s] = best[s].medianRowSeconds;
        std::printf("  %6d rows                    %8.2f us a row   %5.1f bytes a row   (mean %.2f us)\n", kSizes[s],
                    perRow[s] * 1e6, double(best[s].rowBytes) / kSizes[s], best[s].rowsSeconds / kSizes[s] * 1e6);
    }
    std::printf("  a row at 100000 / at 1000      %8.2f\n", perRow[2] / perRow[0]);
    std::printf("once a run, the results file and retry list built from the ledger (best of %d):\n", kRounds);
    for (int s = 0; s < kSizeCount; ++s)
        std::printf("  %6d rows                    %8.2f ms   (results %zu bytes, retry list %zu bytes)\n", kSizes[s],
                    bestEnd[s] * 1e3, best[s].resultsBytes, best[s].retryBytes);
    return 0;
}

// Top-level windows made here, destroyed with their children.
using UniqueWindow = activex::UniqueAny<activex::HandleTraits<HWND, &DestroyWindow>>;

void SetItemText(HWND list, int index, int column, const wchar_t* text)
{
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text);
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

// A result list as the dialog holds it during a run: `items` rows of four columns, the
// last one's result not shown yet. Its window lives as long as `owner`.
HWND MakeResultList(UniqueWindow& owner, int items)
{
    owner.reset(CreateWindowExW(0, L"STATIC", L"record_bench", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr));
    if (!owner) return nullptr;
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 600, 400, owner.get(),
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!list) return nullptr;
    const wchar_t* headers[] = {L"No.", L"Device Name", L"Device ID", L"Operation Result"};
    for (int c = 0; c < 4; ++c) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = 140;
        column.pszText = const_cast<wchar_t*>(headers[c]);
        column.iSubItem = c;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
    // Room for every item at once and no drawing meanwhile: the filling is not what is timed.
    SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(items), 0);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < items; ++i) {
        wchar_t number[16], name[16], id[16];
        swprintf(number, 16, L"%d", i + 1);
        swprintf(name, 16, L"Cam-%06d", i);
        swprintf(id, 16, L"PU-%06d", i);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = number;
        const int at = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (at != i) return nullptr;
        SetItemText(list, i, 1, name);
        SetItemText(list, i, 2, id);
        if (i + 1 < items) SetItemText(list, i, 3, L"Succeeded.");
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    return list;
}

// The host's look at the list once one more row has its result: the count, then from the
// first item not told yet, each item with a result read whole, up to the one still empty.
int Poll(HWND list, int reported, std::string& lastName)
{
    const int count = trevanil_host::ResultItemCount(list);
    while (reported < count) {
        if (trevanil_host::ReadListText(list, reported, 3).empty()) break;
        lastName = trevanil_host::ReadResultItem(list, reported).deviceName;
        ++reported;
    }
    return reported;
}

// Best time of one poll, over batches of polls (one poll is a few microseconds: shorter
// than the clock and the machine's noise lets a single one be told).
double BestPollSeconds(HWND list, int items, bool& ok)
{
    constexpr int kBatches = 200;
    constexpr int kPollsPerBatch = 100;
    double best = 1e9;
    std::string name;
    for (int b = 0; b < kBatches; ++b) {
        const double start = Now();
        for (int p = 0; p < kPollsPerBatch; ++p) {
            // Told up to the one before last: that one is read, the last is found empty.
            if (Poll(list, items - 2, name) != items - 1) ok = false;
        }
        best = std::min(best, (Now() - start) / kPollsPerBatch);
    }
    char expected[16];
    std::snprintf(expected, sizeof expected, "Cam-%06d", items - 2);
    if (name != expected) ok = false;
    return best;
}

int BenchPoll()
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    if (!InitCommonControlsEx(&controls)) {
        std::printf("the list view class cannot be registered\n");
        return 1;
    }
    constexpr int kSmall = 100;
    constexpr int kLarge = 100000;
    UniqueWindow smallOwner, largeOwner;
    const double fillStart = Now();
    HWND smallList = MakeResultList(smallOwner, kSmall);
    HWND largeList = MakeResultList(largeOwner, kLarge);
    const double fillSeconds = Now() - fillStart;
    if (!smallList || !largeList) {
        std::printf("the result lists cannot be made\n");
        return 1;
    }
    bool ok = true;
    const double smallPoll = BestPollSeconds(smallList, kSmall, ok);
    const double largePoll = BestPollSeconds(largeList, kLarge, ok);
    std::printf("one poll of the result list: the count, the last row told read whole, the next found empty "
                "(best of 200 x 100):\n");
    std::printf("  %6d items                   %8.2f us a poll\n", kSmall, smallPoll * 1e6);
    std::printf("  %6d items                   %8.2f us a poll   at 100000 / at 100 = %.2f\n", kLarge,
                largePoll * 1e6, largePoll / smallPoll);
    std::printf("  (filling both lists took %.1f s)\n", fillSeconds);
    if (!ok) std::printf("  a poll did not read what the lists hold\n");
    return ok ? 0 : 1;
}

}  // namespace

int main()
{
    int status = BenchRecord();
    std::printf("\n");
    status |= BenchPoll();
    return status;
}
