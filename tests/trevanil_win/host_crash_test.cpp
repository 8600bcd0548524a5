// trevanil_host.exe killed (TerminateProcess) at random moments of runs on simulated
// devices. Whatever the moment, the record it leaves must account for every row against
// what the devices hold: a row the results call done was written into its device and
// the device restarted; every other row, a written one whose device did not restart
// among them, is in the retry list, byte for byte. Then --resume carries on the last run
// that did not end, is killed again, and carries it on to the end. The tests' build of trevanil.dll ticks every 200 ms instead of 1.8 s
// (run_timer_period_hook.cpp). Nothing here waits for a moment: the kill lands wherever
// a random pause puts it, and the checks hold at any instant by design.
#include <gtest/gtest.h>

#include <cwchar>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>
#include "activex/unique_handle.h"
#include "activex/wide_text.h"
#include "trevanil_test_support.h"

using namespace trevanil_test;
using orvex_test::DeviceStore;
using orvex_test::PollUntil;
using orvex_test::ProgramDir;

namespace {

constexpr int kRows = 12;
constexpr int kRuns = 20;
constexpr int kRefusedRow = 4;     // a wrong password: fails
constexpr int kIncompleteRow = 8;  // no device id: not written
const std::string kHeader = "name,unused,ip,user,password,f5,f6,f7,id\r\n";
const std::string kWritten = "Succeeded.";

struct Row {
    std::string line;  // with its line end
    std::string ip;
    std::string id;
};

std::vector<Row> Rows()
{
    std::vector<Row> rows;
    for (int i = 1; i <= kRows; ++i) {
        Row row;
        row.ip = "10.81.0." + std::to_string(i);
        row.id = "PU-K" + std::to_string(i);
        const std::string password = i == kRefusedRow ? "wrong" : "admin123";
        row.line = i == kIncompleteRow ? "Cam-" + std::to_string(i) + ",x," + row.ip + "\r\n"
                                       : "Cam-" + std::to_string(i) + ",x," + row.ip + ",admin," + password + ",,,," +
                                             row.id + "\r\n";
        rows.push_back(row);
    }
    return rows;
}

// A file's bytes while another process may be writing it; empty when it is missing.
std::string ReadShared(const std::wstring& path)
{
    activex::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    if (!file) return bytes;
    char buffer[8192];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    return bytes;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, next - start));
        start = next;
    }
    return lines;
}

// The host program running with its output in a file, killed when asked (or at the end).
class HostProcess {
public:
    HostProcess(const std::wstring& arguments, const std::wstring& output) : m_output(output)
    {
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        activex::UniqueFileHandle out(CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                  &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = out.get();
        startup.hStdError = out.get();
        std::wstring commandLine = L"\"" + ProgramDir() + L"trevanil_host.exe\" " + arguments;
        PROCESS_INFORMATION process{};
        if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                           &process)) {
            m_process.reset(process.hProcess);
            CloseHandle(process.hThread);
        }
    }
    ~HostProcess() { Kill(); }
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    bool Started() const { return static_cast<bool>(m_process); }
    DWORD Id() const { return m_process ? GetProcessId(m_process.get()) : 0; }
    // Whether it ended by itself within `limitMs`.
    bool Ended(DWORD limitMs) const { return m_process && WaitForSingleObject(m_process.get(), limitMs) == WAIT_OBJECT_0; }
    std::string Output() const { return ReadShared(m_output); }
    // Ends it now, wherever it is; true once it is gone.
    bool Kill()
    {
        if (!m_process) return true;
        TerminateProcess(m_process.get(), 99);
        return WaitForSingleObject(m_process.get(), 30000) == WAIT_OBJECT_0;
    }

private:
    std::wstring m_output;
    activex::UniqueHandle m_process;
};

// The text of a control of another process (WM_GETTEXT is carried across).
std::wstring ControlTextOf(HWND control)
{
    wchar_t text[1024] = L"";
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &copied);
    return text;
}

BOOL CALLBACK FindDeviceListEdit(HWND hwnd, LPARAM param)
{
    if (GetDlgCtrlID(hwnd) != 203) return TRUE;
    *reinterpret_cast<HWND*>(param) = hwnd;
    return FALSE;
}

class TrevanilHostCrash : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(RegisterModules());
        ForgetRunRecords();
    }

    static void AddDevices(DeviceStore& store)
    {
        for (const Row& row : Rows())
            ASSERT_EQ(0, store.Run({"add", row.ip, "--protocol", "new", "--user", "admin", "--password", "admin123"}));
    }

    static std::wstring HostArguments(const std::wstring& list)
    {
        return L"--lang 2 --ip 10.2.0.9 --port 6000 --file \"" + list + L"\" --write --timeout 300";
    }

    // What a later host finds of a killed run: both files rebuilt from its journal, whole,
    // and together every row: done (written into its device and the device restarted)
    // or to do. A device written but not restarted is never called done.
    static void ExpectFilesAccountForEveryRow(const std::wstring& list, DeviceStore& store, const std::string& context)
    {
        const std::wstring stem = list.substr(0, list.size() - 4);
        const std::vector<std::string> results = Lines(ReadShared(stem + L"-results.csv"));
        const std::vector<std::string> retry = Lines(ReadShared(stem + L"-retry.csv"));
        const std::vector<Row> rows = Rows();
        ASSERT_FALSE(results.empty()) << context << ": no results file";
        EXPECT_EQ("\xEF\xBB\xBFNo.,Device Name,Device ID,Operation Result,Restart\r\n", results[0]) << context;
        ASSERT_FALSE(retry.empty()) << context << ": no retry list";
        EXPECT_EQ(kHeader, retry[0]) << context;

        // Results: one line per row with its result, numbered by its row, in order.
        std::vector<bool> done(rows.size(), false);
        std::size_t last = 0;
        for (std::size_t i = 1; i < results.size(); ++i) {
            const std::string& line = results[i];
            ASSERT_GE(line.size(), 2u) << context;
            ASSERT_EQ("\r\n", line.substr(line.size() - 2)) << context << ": a cut line " << line;
            const std::size_t number = std::stoul(line.substr(0, line.find(',')));
            ASSERT_GT(number, last) << context << ": " << line;
            ASSERT_LE(number, rows.size()) << context << ": " << line;
            last = number;
            done[number - 1] = line.find(",Succeeded.,Restarted\r\n") != std::string::npos;
        }
        // Retry list: lines of the list, in its order, each at most once.
        std::set<std::string> toDo;
        std::size_t next = 0;
        for (std::size_t i = 1; i < retry.size(); ++i) {
            while (next < rows.size() && rows[next].line != retry[i]) ++next;
            ASSERT_LT(next, rows.size()) << context << ": not a line of the list, or out of order: " << retry[i];
            toDo.insert(rows[next++].line);
        }
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const bool written = store.Field(rows[r].ip, "pu_id") == rows[r].id;
            if (done[r]) {
                EXPECT_TRUE(written) << context << ": row " << r + 1 << " is called done";
                EXPECT_LE(1, store.Restarts(rows[r].ip)) << context << ": row " << r + 1 << " is called done";
            } else {
                EXPECT_EQ(1u, toDo.count(rows[r].line)) << context << ": row " << r + 1 << " is neither done nor to do";
            }
            if (written && store.Restarts(rows[r].ip) == 0)
                EXPECT_EQ(1u, toDo.count(rows[r].line)) << context << ": row " << r + 1 << " written, not restarted";
        }
    }

    // A host started after a kill: a run that did not end is refused without --resume
    // (nothing is written), and its files are rebuilt from its journal on the way.
    static void RebuildFilesOfKilledRun(const std::wstring& list, const std::string& context)
    {
        const std::wstring output = ProgramDir() + L"crash_refused.txt";
        const DWORD code =
            RunProgram(L"\"" + ProgramDir() + L"trevanil_host.exe\" " + HostArguments(list), output, 120000);
        const std::string said = orvex_test::ReadFileText(output);
        EXPECT_EQ(12u, code) << context << ": " << said;
        EXPECT_NE(std::string::npos, said.find("Nothing was written: start trevanil_host with --resume")) << said;
        EXPECT_EQ(std::string::npos, said.find("pressing Write")) << context << ": " << said;
    }

    // A run of the whole list whose host is killed after its second row.
    static void LeaveUnfinishedRun(const std::wstring& path)
    {
        std::string list = kHeader;
        for (const Row& row : Rows()) list += row.line;
        ASSERT_TRUE(WriteBytes(path, list));
        HostProcess host(HostArguments(path), path + L".run.txt");
        ASSERT_TRUE(host.Started());
        ASSERT_TRUE(PollUntil([&] { return host.Output().find("progress: Row 2 of 12") != std::string::npos; }, 120000))
            << host.Output();
        ASSERT_TRUE(host.Kill());
    }

    orvex_test::ComApartment m_apartment;
};

TEST_F(TrevanilHostCrash, KilledAtAnyMomentLeavesARecordThatAccountsForEveryRowAndResumeFinishes)
{
    std::random_device seedSource;
    const unsigned seed = seedSource();
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::string list;
    list = kHeader;
    for (const Row& row : Rows()) list += row.line;

    std::wstring lastKilled;
    std::unique_ptr<DeviceStore> lastStore;
    int killedBeforeTheEnd = 0;
    for (int run = 0; run < kRuns; ++run) {
        const std::string context = "run " + std::to_string(run);
        auto store = std::make_unique<DeviceStore>("store_crash_" + std::to_string(run) + ".ini");
        AddDevices(*store);
        const std::wstring path = ProgramDir() + L"crash_" + std::to_wstring(run) + L".csv";
        ASSERT_TRUE(WriteBytes(path, list));
        const std::wstring stem = path.substr(0, path.size() - 4);
        DeleteFileW((stem + L"-results.csv").c_str());
        DeleteFileW((stem + L"-retry.csv").c_str());

        // The moment: after the line of row `after` (0: right after the run's start),
        // then a random part of a tick or two, or of the restarts' wait after the run.
        const int after = std::uniform_int_distribution<int>(0, kRows)(random);
        const DWORD pause = std::uniform_int_distribution<DWORD>(0, after == kRows ? 6000 : 450)(random);
        HostProcess host(HostArguments(path), ProgramDir() + L"crash_host.txt");
        ASSERT_TRUE(host.Started());
        const std::string mark = "progress: Row " + std::to_string(after) + " of " + std::to_string(kRows);
        ASSERT_TRUE(PollUntil([&] { return host.Output().find(mark) != std::string::npos; }, 120000))
            << context << ": " << host.Output();
        Sleep(pause);  // where the kill lands, not a wait for anything
        ASSERT_TRUE(host.Kill()) << context;
        const std::string output = host.Output();
        SCOPED_TRACE(context + " killed after row " + std::to_string(after) + " + " + std::to_string(pause) + " ms");
        // The record was being finished (the restarts' count comes first), or a later host rebuilds it.
        const bool finished = output.find(" rows written") != std::string::npos;
        if (!finished) RebuildFilesOfKilledRun(path, context);
        ExpectFilesAccountForEveryRow(path, *store, context);
        if (!finished) {
            ++killedBeforeTheEnd;
            lastKilled = path;
            lastStore = std::move(store);
        }
    }
    ASSERT_GT(killedBeforeTheEnd, 0) << "every run ended before its kill";

    // The last run killed before its end is carried on by --resume, killed again after
    // its first row, and carried on once more to the end: then every device that can be
    // written is written and restarted, and nothing is left to resume.
    lastStore->Select();
    const std::wstring output = ProgramDir() + L"crash_resume.txt";
    {
        HostProcess again(HostArguments(lastKilled) + L" --resume", output);
        ASSERT_TRUE(again.Started());
        ASSERT_TRUE(PollUntil([&] { return again.Output().find("progress: Row 1 of") != std::string::npos; }, 120000))
            << again.Output();
        ASSERT_TRUE(again.Kill());
    }
    const DWORD code = RunProgram(L"\"" + ProgramDir() + L"trevanil_host.exe\" " + HostArguments(lastKilled) +
                                      L" --resume",
                                  output, 180000);
    const std::string resumed = orvex_test::ReadFileText(output);
    EXPECT_EQ(1u, code) << "the refused row is not written: " << resumed;
    EXPECT_NE(std::string::npos, resumed.find("did not end")) << resumed;
    EXPECT_NE(std::string::npos, resumed.find("That list is loaded into the dialog.")) << resumed;
    const std::size_t pressed = resumed.find("pressing Write");
    ASSERT_NE(std::string::npos, pressed) << resumed;
    EXPECT_NE(std::string::npos, resumed.substr(pressed, resumed.find('\n', pressed) - pressed).find("-retry.csv"))
        << "Write pressed on the retry list: " << resumed;
    EXPECT_NE(std::string::npos, resumed.find("finished")) << resumed;
    const std::vector<Row> rows = Rows();
    for (int r = 0; r < kRows; ++r) {
        if (r + 1 == kRefusedRow || r + 1 == kIncompleteRow) continue;
        EXPECT_EQ(rows[r].id, lastStore->Field(rows[r].ip, "pu_id")) << "row " << r + 1;
        EXPECT_LE(1, lastStore->Restarts(rows[r].ip)) << "row " << r + 1;
    }
    ExpectFilesAccountForEveryRow(lastKilled, *lastStore, "resumed");
    const std::string retry = ReadShared(lastKilled.substr(0, lastKilled.size() - 4) + L"-retry.csv");
    EXPECT_EQ(kHeader + rows[kRefusedRow - 1].line + rows[kIncompleteRow - 1].line, retry);
    const DWORD nothing = RunProgram(L"\"" + ProgramDir() + L"trevanil_host.exe\" " + HostArguments(lastKilled) +
                                         L" --resume",
                                     output, 180000);
    EXPECT_EQ(10u, nothing) << orvex_test::ReadFileText(output);
    EXPECT_NE(std::string::npos, orvex_test::ReadFileText(output).find("No batch write was left unfinished"));
}

TEST_F(TrevanilHostCrash, WindowSaysTheRunDidNotEndAndLoadsItsRetryListWhenAsked)
{
    DeviceStore store("store_crash_window.ini");
    AddDevices(store);
    const std::wstring path = ProgramDir() + L"crash_window.csv";
    LeaveUnfinishedRun(path);
    // The window, in Chinese: a message box says so and offers the retry list; Yes loads it.
    HostProcess window(L"--file \"" + path + L"\"", ProgramDir() + L"crash_window.txt");
    ASSERT_TRUE(window.Started());
    HWND box = nullptr;
    ASSERT_TRUE(PollUntil([&] { return (box = ProcessWindow(window.Id(), L"#32770")) != nullptr; }, 60000))
        << "no message box";
    const std::string text = Utf8(ControlTextOf(GetDlgItem(box, 0xFFFF)));
    EXPECT_NE(std::string::npos, text.find(u8"的批量写入没有结束：共 12 行")) << text;
    EXPECT_NE(std::string::npos, text.find("crash_window-retry.csv")) << text;
    EXPECT_NE(std::string::npos, text.find(u8"是否将该列表载入对话框？")) << text;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDYES)));
    HWND frame = ProcessWindow(window.Id(), L"TrevanilHostFrame");
    ASSERT_NE(nullptr, frame);
    HWND edit = nullptr;
    EnumChildWindows(frame, &FindDeviceListEdit, reinterpret_cast<LPARAM>(&edit));
    ASSERT_NE(nullptr, edit);
    const std::wstring retry = path.substr(0, path.size() - 4) + L"-retry.csv";
    EXPECT_TRUE(PollUntil([&] { return ControlTextOf(edit) == retry; }, 30000)) << Utf8(ControlTextOf(edit));
    PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(window.Ended(30000)) << "the window closes: no run is active";
}

} // namespace

namespace {

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindControl(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<ControlSearch*>(param);
    if (GetDlgCtrlID(hwnd) != search->id) return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND DialogControl(HWND frame, int id)
{
    ControlSearch search{id, nullptr};
    EnumChildWindows(frame, &FindControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(TrevanilHostCrash, WindowKeepsAnUnfinishedRecordAsideWhenTheOperatorStartsTheListAnew)
{
    DeviceStore store("store_crash_aside.ini");
    AddDevices(store);
    const std::wstring path = ProgramDir() + L"crash_aside.csv";
    LeaveUnfinishedRun(path);
    HostProcess window(L"--lang 2 --ip 10.2.0.9 --port 6000 --file \"" + path + L"\"", ProgramDir() + L"crash_aside.txt");
    ASSERT_TRUE(window.Started());
    HWND box = nullptr;
    ASSERT_TRUE(PollUntil([&] { return (box = ProcessWindow(window.Id(), L"#32770")) != nullptr; }, 60000));
    EXPECT_NE(std::string::npos, Utf8(ControlTextOf(GetDlgItem(box, 0xFFFF))).find("Load that list into the dialog?"));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDNO)));
    ASSERT_TRUE(PollUntil([&] { return ProcessWindow(window.Id(), L"#32770") == nullptr; }, 30000));
    // The operator writes the list itself again: the old record goes aside, and says so.
    HWND frame = ProcessWindow(window.Id(), L"TrevanilHostFrame");
    ASSERT_NE(nullptr, frame);
    const std::pair<int, std::wstring> typed[] = {{201, L"10.2.0.9"}, {202, L"6000"}, {203, path}};
    for (const auto& [id, text] : typed) {
        HWND edit = DialogControl(frame, id);
        ASSERT_NE(nullptr, edit) << id;
        DWORD_PTR done = 0;
        SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &done);
    }
    HWND write = DialogControl(frame, 205);
    ASSERT_NE(nullptr, write);
    PostMessageW(write, BM_CLICK, 0, 0);
    std::string text;
    ASSERT_TRUE(PollUntil(
        [&] {
            box = ProcessWindow(window.Id(), L"#32770");
            text = box ? Utf8(ControlTextOf(GetDlgItem(box, 0xFFFF))) : std::string();
            return text.find("kept aside") != std::string::npos;
        },
        60000))
        << text;
    const std::size_t at = text.find(" as ") + 4;
    const std::wstring aside = activex::WideFromNarrow(text.substr(at, text.size() - 1 - at));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(aside.c_str())) << text;
    EXPECT_NE(std::string::npos, ReadShared(aside).find("state=running")) << "the old run's state, as it was";
}

} // namespace
