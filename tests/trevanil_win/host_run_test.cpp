// trevanil_host.exe as the operator runs it: a five-row device list written to simulated
// devices through the control in atl.dll's container, in both languages, with Cancel,
// an attempt to close the window during the run, the files it saves and a screenshot of
// the finished dialog (kept in the build tree's artifacts folder); and the check before
// writing, from the command line and from the window's menu.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <string>
#include "activex/unique_handle.h"
#include "host/host_command_ids.h"
#include "trevanil_resource.h"
#include "activex/window_find.h"
#include "trevanil_test_support.h"

#include <commctrl.h>

using namespace trevanil_test;
using orvex_test::DeviceStore;
using orvex_test::ProgramDir;
using orvex_test::ReadFileText;

namespace {

const std::string kHeader = "name,unused,ip,user,password,f5,f6,f7,id,f9,f10,f11,gb,platform ip,platform port\r\n";
// A newer-protocol device written with the dialog's platform; an older one with the row's
// own platform and "#" before name and id; a refused password; a row too short; a GB
// device. The last line has no line break.
const std::string kRowWritten = "Cam-A,x,10.71.0.1,admin,admin123,,,,PU-A\r\n";
const std::string kRowOwnPlatform = "#Cam-B,x,10.71.0.2,,,,,,#PU-B,,,,0,10.9.9.9,7001\r\n";
const std::string kRowRefused = "Cam-C,x,10.71.0.3,admin,wrong,,,,PU-C\r\n";
const std::string kRowShort = "Cam-D,x,10.71.0.4\r\n";
const std::string kRowGb = "Cam-E,x,10.71.0.5,admin,admin123,,,,PU-E,,,,1";

struct HostRun {
    DWORD exitCode;
    std::string output;
};

HostRun RunHost(const std::wstring& arguments, const std::wstring& outputName)
{
    const std::wstring output = ProgramDir() + outputName;
    const DWORD code = RunProgram(L"\"" + ProgramDir() + L"trevanil_host.exe\" " + arguments, output, 180000);
    return {code, ReadFileText(output)};
}

class TrevanilHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(RegisterModules());
        ForgetRunRecords();
    }

    void AddDevices(DeviceStore& store)
    {
        for (const char* ip : {"10.71.0.1", "10.71.0.3", "10.71.0.4", "10.71.0.5"})
            ASSERT_EQ(0, store.Run({"add", ip, "--protocol", "new", "--user", "admin", "--password", "admin123"}));
        ASSERT_EQ(0, store.Run({"add", "10.71.0.2", "--protocol", "old"}));
    }

    std::wstring WriteList(const wchar_t* name, const std::string& bytes)
    {
        const std::wstring path = ProgramDir() + name;
        EXPECT_TRUE(WriteBytes(path, bytes));
        return path;
    }

    // What the run must have left in the devices, whatever the language.
    void ExpectDevicesOfTheFullRun(DeviceStore& store)
    {
        EXPECT_EQ("10.2.0.9", store.Field("10.71.0.1", "platform_ip"));
        EXPECT_EQ("6000", store.Field("10.71.0.1", "platform_port"));
        EXPECT_EQ("PU-A", store.Field("10.71.0.1", "pu_id"));
        EXPECT_EQ("Cam-A", store.Field("10.71.0.1", "device_name"));
        EXPECT_EQ("10.9.9.9", store.Field("10.71.0.2", "platform_ip"));
        EXPECT_EQ("7001", store.Field("10.71.0.2", "platform_port"));
        EXPECT_EQ("PU-B", store.Field("10.71.0.2", "pu_id"));
        EXPECT_EQ("Cam-B", store.Field("10.71.0.2", "device_name"));
        EXPECT_NE("PU-C", store.Field("10.71.0.3", "pu_id"));
        EXPECT_LE(1, store.Logins("10.71.0.3")) << "the refused row was tried";
        EXPECT_EQ(0, store.Logins("10.71.0.4")) << "an incomplete row is not written";
        EXPECT_EQ(0, store.Logins("10.71.0.5")) << "a GB device is not written";
        EXPECT_NE("PU-E", store.Field("10.71.0.5", "pu_id"));
    }

    // SetCloseFlag(1) once, then SetCloseFlag(0) once, in that order.
    static void ExpectCloseFlags(const std::string& output)
    {
        const std::size_t start = output.find("SetCloseFlag(1)");
        const std::size_t end = output.find("SetCloseFlag(0)");
        ASSERT_NE(std::string::npos, start) << output;
        ASSERT_NE(std::string::npos, end) << output;
        EXPECT_LT(start, end) << output;
        EXPECT_EQ(std::string::npos, output.find("SetCloseFlag(1)", start + 1)) << output;
        EXPECT_EQ(std::string::npos, output.find("SetCloseFlag(0)", end + 1)) << output;
    }

    // The PNG is kept beside the other test artifacts of the build tree.
    static void KeepScreenshot(const std::wstring& png)
    {
        const std::string bytes = ReadFileText(png);
        ASSERT_GT(bytes.size(), 1000u);
        EXPECT_EQ(0, bytes.compare(0, 8, "\x89PNG\r\n\x1a\n", 8));
        const std::wstring artifacts = ProgramDir() + L"..\\artifacts\\";
        CreateDirectoryW(artifacts.c_str(), nullptr);
        const std::wstring name = png.substr(png.find_last_of(L'\\') + 1);
        EXPECT_TRUE(CopyFileW(png.c_str(), (artifacts + name).c_str(), FALSE));
    }

    orvex_test::ComApartment m_apartment;
};

TEST_F(TrevanilHost, EnglishRunWritesTheListRefusesToCloseAndSavesItsFiles)
{
    DeviceStore store("store_host_en.ini");
    AddDevices(store);
    const std::string list = kHeader + kRowWritten + kRowOwnPlatform + kRowRefused + kRowShort + kRowGb;
    const std::wstring path = WriteList(L"devices_en.csv", list);
    const std::wstring png = ProgramDir() + L"trevanil_dialog_en.png";
    DeleteFileW(png.c_str());
    const HostRun run = RunHost(L"--lang 2 --ip 10.2.0.9 --port 6000 --file \"" + path +
                                    L"\" --write --try-close --save --screenshot \"" + png + L"\"",
                                L"host_en.txt");
    EXPECT_EQ(1u, run.exitCode) << "the refused row: " << run.output;
    EXPECT_NE(std::string::npos,
              run.output.find("No.  Device Name  Device ID  Operation Result\n"
                              "1    Cam-A        PU-A       Succeeded.\n"
                              "2    Cam-B        PU-B       Succeeded.\n"
                              "3    Cam-C        PU-C       Failed.\n"
                              "4                            The dvice information file is not duly filled up.\n"
                              "5    Cam-E        PU-E       You cannot write data into GB-compliant devices.\n"
                              "6    Completed.\n"))
        << run.output;
    ExpectCloseFlags(run.output);
    // A progress line at the start and after each row, in order, the last one saying the run finished.
    std::size_t at = 0;
    for (const char* line : {"progress: Row 0 of 5 · 0 succeeded · 0 failed · less than 1 min left\n",
                             "progress: Row 1 of 5 · 1 succeeded · 0 failed · ", "progress: Row 2 of 5 · 2 succeeded",
                             "progress: Row 3 of 5 · 2 succeeded · 1 failed", "progress: Row 4 of 5 · 2 succeeded · 2 failed",
                             "progress: Row 5 of 5 · 2 succeeded · 3 failed · finished\n"}) {
        at = run.output.find(line, at);
        ASSERT_NE(std::string::npos, at) << line << " in order in " << run.output;
    }
    const std::size_t refused = run.output.find("close refused while the run is active");
    EXPECT_NE(std::string::npos, refused) << run.output;
    EXPECT_LT(refused, run.output.find("SetCloseFlag(0)")) << "refused while the run was active";
    ExpectDevicesOfTheFullRun(store);

    const std::wstring stem = path.substr(0, path.size() - 4);
    // The host waits for the restarts before it calls a row done.
    EXPECT_EQ("\xEF\xBB\xBFNo.,Device Name,Device ID,Operation Result,Restart\r\n"
              "1,Cam-A,PU-A,Succeeded.,Restarted\r\n"
              "2,Cam-B,PU-B,Succeeded.,Restarted\r\n"
              "3,Cam-C,PU-C,Failed.,\r\n"
              "4,,,The dvice information file is not duly filled up.,\r\n"
              "5,Cam-E,PU-E,You cannot write data into GB-compliant devices.,\r\n",
              ReadFileText(stem + L"-results.csv"));
    EXPECT_EQ(1, store.Restarts("10.71.0.1"));
    EXPECT_EQ(1, store.Restarts("10.71.0.2"));
    EXPECT_NE(std::string::npos, run.output.find("restarted 2 of 2 rows written")) << run.output;
    EXPECT_EQ(kHeader + kRowRefused + kRowShort + kRowGb, ReadFileText(stem + L"-retry.csv"))
        << "the rows not written, byte for byte";
    EXPECT_EQ(list, ReadFileText(path)) << "the device list itself is left alone";
    KeepScreenshot(png);
}

TEST_F(TrevanilHost, ChineseRunByClsidShowsTheChineseResults)
{
    DeviceStore store("store_host_zh.ini");
    AddDevices(store);
    const std::wstring path =
        WriteList(L"devices_zh.csv", kHeader + kRowWritten + kRowOwnPlatform + kRowRefused + kRowShort + kRowGb);
    const std::wstring png = ProgramDir() + L"trevanil_dialog_zh.png";
    DeleteFileW(png.c_str());
    const HostRun run = RunHost(L"--lang 1 --clsid --ip 10.2.0.9 --port 6000 --file \"" + path +
                                    L"\" --write --screenshot \"" + png + L"\"",
                                L"host_zh.txt");
    EXPECT_EQ(1u, run.exitCode) << "the refused row: " << run.output;
    EXPECT_NE(std::string::npos,
              run.output.find("序号  设备名      设备编号  结果\n"
                              "1     Cam-A       PU-A      写入前端成功！\n"
                              "2     Cam-B       PU-B      写入前端成功！\n"
                              "3     Cam-C       PU-C      写入前端失败！\n"
                              "4                           设备信息不全无法写入。\n"
                              "5     Cam-E       PU-E      国标设备不支持写入前端！\n"
                              "6     写入完成。\n"))
        << run.output;
    EXPECT_NE(std::string::npos, run.output.find("progress: 第 5 / 5 行 · 成功 2 · 失败 3 · 已完成\n")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("结果和未完成的行保存在：")) << run.output;
    ExpectCloseFlags(run.output);
    ExpectDevicesOfTheFullRun(store);
    KeepScreenshot(png);
}

TEST_F(TrevanilHost, CancelAfterTwoRowsInterruptsTheThirdAndWritesNothingMore)
{
    DeviceStore store("store_host_cancel.ini");
    AddDevices(store);
    const std::string rest = "Cam-C,x,10.71.0.3,admin,admin123,,,,PU-C\r\n"
                             "Cam-D,x,10.71.0.4,admin,admin123,,,,PU-D\r\n"
                             "Cam-E,x,10.71.0.5,admin,admin123,,,,PU-E\r\n";
    const std::wstring path = WriteList(L"devices_cancel.csv", kHeader + kRowWritten + kRowOwnPlatform + rest);
    const HostRun run = RunHost(L"--lang 2 --ip 10.2.0.9 --port 6000 --file \"" + path +
                                    L"\" --write --cancel-after 2 --save",
                                L"host_cancel.txt");
    EXPECT_EQ(6u, run.exitCode) << "rows not reached: " << run.output;
    ExpectCloseFlags(run.output);
    EXPECT_LT(run.output.find("pressing Cancel"), run.output.find("SetCloseFlag(0)")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("progress: Row 2 of 5 · 2 succeeded · 0 failed · interrupted\n"))
        << run.output;
    const std::wstring stem = path.substr(0, path.size() - 4);
    EXPECT_EQ("\xEF\xBB\xBFNo.,Device Name,Device ID,Operation Result,Restart\r\n"
              "1,Cam-A,PU-A,Succeeded.,Restarted\r\n"
              "2,Cam-B,PU-B,Succeeded.,Restarted\r\n",
              ReadFileText(stem + L"-results.csv"));
    EXPECT_EQ(kHeader + rest, ReadFileText(stem + L"-retry.csv"));
    EXPECT_EQ("PU-A", store.Field("10.71.0.1", "pu_id"));
    EXPECT_EQ("PU-B", store.Field("10.71.0.2", "pu_id"));
    for (const char* ip : {"10.71.0.3", "10.71.0.4", "10.71.0.5"}) {
        EXPECT_EQ(0, store.Logins(ip)) << ip << ": nothing is written after Cancel";
        EXPECT_EQ("", store.Field(ip, "pu_id")) << ip;
    }
}

TEST_F(TrevanilHost, RestartsNotDoneWithinTheLimitAreNamedAndTheExitCodeSaysSo)
{
    DeviceStore store("store_host_limit.ini");
    AddDevices(store);
    const std::wstring path = WriteList(L"devices_limit.csv", kHeader + kRowWritten + kRowOwnPlatform);
    // The restarts come five seconds after each write: a limit of 0 leaves before them.
    const HostRun run = RunHost(L"--lang 2 --ip 10.2.0.9 --port 6000 --file \"" + path +
                                    L"\" --write --restart-limit 0",
                                L"host_limit.txt");
    EXPECT_EQ(4u, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("not yet restarted 10.71.0.1, 10.71.0.2")) << run.output;
    EXPECT_EQ("PU-A", store.Field("10.71.0.1", "pu_id")) << "the rows themselves were written";
    // Written but not seen restarted: not done, so both are written again by the retry list.
    const std::wstring stem = path.substr(0, path.size() - 4);
    EXPECT_EQ(kHeader + kRowWritten + kRowOwnPlatform, ReadFileText(stem + L"-retry.csv"));
    EXPECT_NE(std::string::npos, ReadFileText(stem + L"-results.csv").find("1,Cam-A,PU-A,Succeeded.,Not restarted\r\n"));
}

TEST_F(TrevanilHost, ARestartTheDeviceRefusesLeavesItsRowOwed)
{
    DeviceStore store("store_host_close.ini");
    AddDevices(store);
    // The device takes the write but not the restart: it is not registered.
    ASSERT_EQ(0, store.Run({"fault", "10.71.0.1", "IPC_SystemReboot", "3"}));
    const std::wstring path = WriteList(L"devices_close.csv", kHeader + kRowWritten + kRowOwnPlatform);
    const HostRun run = RunHost(L"--lang 2 --ip 10.2.0.9 --port 6000 --file \"" + path + L"\" --write",
                                L"host_close.txt");
    EXPECT_EQ(4u, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("not yet restarted 10.71.0.1")) << run.output;
    const std::wstring stem = path.substr(0, path.size() - 4);
    EXPECT_EQ(kHeader + kRowWritten, ReadFileText(stem + L"-retry.csv"));
    EXPECT_EQ("\xEF\xBB\xBFNo.,Device Name,Device ID,Operation Result,Restart\r\n"
              "1,Cam-A,PU-A,Succeeded.,Not restarted\r\n"
              "2,Cam-B,PU-B,Succeeded.,Restarted\r\n",
              ReadFileText(stem + L"-results.csv"));
    EXPECT_EQ(0, store.Restarts("10.71.0.1"));
    EXPECT_EQ("PU-A", store.Field("10.71.0.1", "pu_id"));
}

// "摄像机一" (camera one), as the operator wrote it: the host prints UTF-8, and the store
// shows device texts in UTF-8.
const std::string kUtf8Name = "\xE6\x91\x84\xE5\x83\x8F\xE6\x9C\xBA\xE4\xB8\x80";

TEST_F(TrevanilHost, ChineseNamesOfAUtf8ListWithItsMarkReachTheDeviceUnchanged)
{
    DeviceStore store("store_host_utf8.ini");
    AddDevices(store);
    const std::wstring list =
        WriteList(L"devices_utf8.csv", "\xEF\xBB\xBF" + kHeader + kUtf8Name + ",x,10.71.0.3,admin,admin123,,,,PU-U\r\n");
    const HostRun run = RunHost(L"--lang 1 --ip 10.2.0.9 --port 6000 --file \"" + list + L"\" --write", L"host_utf8.txt");
    ASSERT_EQ(0u, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("1     " + kUtf8Name)) << run.output;
    EXPECT_EQ("PU-U", store.Field("10.71.0.3", "pu_id"));
    EXPECT_EQ(kUtf8Name, store.Field("10.71.0.3", "device_name"));
}

// A list in the Chinese ANSI code page (GBK). Wine takes the code page from the Unix
// locale, so this runs only as ctest's TrevanilHost.ChineseLocaleGbk, under
// LANG=zh_CN.GBK (a locale tools/install-deps.sh makes), and fails when that locale is
// missing rather than skipping.
class TrevanilHostGbk : public TrevanilHost {
public:
    void TestBody() override
    {
        ASSERT_EQ(936u, GetACP()) << "needs Wine under LANG=zh_CN.GBK: run tools/install-deps.sh to make the locale";
        DeviceStore store("store_host_gbk.ini");
        AddDevices(store);
        const std::string gbkName = "\xC9\xE3\xCF\xF1\xBB\xFA\xD2\xBB";
        const std::wstring list =
            WriteList(L"devices_gbk.csv", kHeader + gbkName + ",x,10.71.0.1,admin,admin123,,,,PU-G\r\n");
        const HostRun run = RunHost(L"--lang 1 --ip 10.2.0.9 --port 6000 --file \"" + list + L"\" --write",
                                    L"host_gbk.txt");
        ASSERT_EQ(0u, run.exitCode) << run.output;
        EXPECT_NE(std::string::npos, run.output.find("1     " + kUtf8Name)) << run.output;
        EXPECT_EQ("PU-G", store.Field("10.71.0.1", "pu_id"));
        EXPECT_EQ(kUtf8Name, store.Field("10.71.0.1", "device_name")) << "the same text as from a UTF-8 list";
    }
};

const bool kGbkRegistered = GetEnvironmentVariableW(L"ORVEX_GBK_RUN", nullptr, 0) != 0 &&
    ::testing::RegisterTest("TrevanilHostGbk", "ChineseNamesOfAGbkListReachTheDeviceInUtf8", nullptr, nullptr,
                            __FILE__, __LINE__, []() -> ::testing::Test* { return new TrevanilHostGbk; }) != nullptr;

TEST_F(TrevanilHost, RecordGoesToTheUsersFolderWhereTheListsFolderCannotTakeIt)
{
    DeviceStore store("store_host_fallback.ini");
    AddDevices(store);
    const std::wstring list = WriteList(L"devices_fallback.csv", kHeader + kRowWritten + kRowRefused);
    // A folder where the results file would go: that name cannot be replaced by a file.
    const std::wstring blocked = ProgramDir() + L"devices_fallback-results.csv";
    CreateDirectoryW(blocked.c_str(), nullptr);
    ASSERT_TRUE(GetFileAttributesW(blocked.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    wchar_t localAppData[MAX_PATH] = L"";
    ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData));
    const std::wstring folder = std::wstring(localAppData) + L"\\trevanil\\";
    // Files of an earlier run of this test would be found below otherwise.
    WIN32_FIND_DATAW found{};
    for (const wchar_t* pattern : {L"devices_fallback-*-results.csv", L"devices_fallback-*-retry.csv"}) {
        activex::UniqueFindHandle search(FindFirstFileW((folder + pattern).c_str(), &found));
        if (!search) continue;
        do DeleteFileW((folder + found.cFileName).c_str());
        while (FindNextFileW(search.get(), &found));
    }

    const HostRun run = RunHost(L"--lang 2 --ip 10.2.0.9 --port 6000 --file \"" + list + L"\" --write",
                                L"host_fallback.txt");
    EXPECT_EQ(1u, run.exitCode) << "the refused row: " << run.output;
    EXPECT_NE(std::string::npos, run.output.find("kept in your own folder")) << run.output;
    auto only = [&](const wchar_t* pattern) {
        activex::UniqueFindHandle search(FindFirstFileW((folder + pattern).c_str(), &found));
        EXPECT_TRUE(search) << Utf8(folder + pattern);
        return search ? ReadFileText(folder + found.cFileName) : std::string();
    };
    EXPECT_EQ("\xEF\xBB\xBFNo.,Device Name,Device ID,Operation Result,Restart\r\n"
              "1,Cam-A,PU-A,Succeeded.,Restarted\r\n"
              "2,Cam-C,PU-C,Failed.,\r\n",
              only(L"devices_fallback-*-results.csv"));
    EXPECT_EQ(kHeader + kRowRefused, only(L"devices_fallback-*-retry.csv"));
    EXPECT_EQ("PU-A", store.Field("10.71.0.1", "pu_id"));
    RemoveDirectoryW(blocked.c_str());
}

TEST_F(TrevanilHost, AResultsFileHeldOpenIsWrittenBesideItAndTheExitCodeSaysSo)
{
    DeviceStore store("store_host_held.ini");
    AddDevices(store);
    const std::wstring list = WriteList(L"devices_held.csv", kHeader + kRowWritten);
    const std::wstring stem = list.substr(0, list.size() - 4);
    for (const wchar_t* name : {L"-results (2).csv", L"-retry (2).csv"}) DeleteFileW((stem + name).c_str());
    ASSERT_TRUE(WriteBytes(stem + L"-results.csv", "an older run's results"));
    {
        // Opened as a spreadsheet program opens it: others may read and write, not replace it.
        activex::UniqueFileHandle held(CreateFileW((stem + L"-results.csv").c_str(), GENERIC_READ,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        const HostRun run = RunHost(L"--lang 2 --ip 10.2.0.9 --port 6000 --file \"" + list + L"\" --write",
                                    L"host_held.txt");
        EXPECT_EQ(7u, run.exitCode) << run.output;
        EXPECT_NE(std::string::npos, run.output.find("held open by another program")) << run.output;
        EXPECT_NE(std::string::npos, run.output.find("devices_held-results (2).csv")) << run.output;
    }
    EXPECT_EQ("an older run's results", ReadFileText(stem + L"-results.csv"));
    EXPECT_EQ("\xEF\xBB\xBFNo.,Device Name,Device ID,Operation Result,Restart\r\n"
              "1,Cam-A,PU-A,Succeeded.,Restarted\r\n",
              ReadFileText(stem + L"-results (2).csv"));
    EXPECT_EQ(kHeader, ReadFileText(stem + L"-retry.csv")) << "the retry list was free to be replaced";
    // The run ended, and its state says so: nothing is left to resume.
    const HostRun resume = RunHost(L"--lang 2 --file \"" + list + L"\" --write --resume", L"host_held_resume.txt");
    EXPECT_EQ(10u, resume.exitCode) << resume.output;
}

TEST_F(TrevanilHost, EachWayARunEndsBadlyHasItsOwnExitCode)
{
    DeviceStore store("store_host_codes.ini");
    AddDevices(store);
    const std::wstring list = WriteList(L"devices_codes.csv", kHeader + kRowWritten + kRowOwnPlatform);
    const std::wstring common = L"--lang 2 --ip 10.2.0.9 --port 6000 ";
    struct Case {
        std::wstring arguments;
        DWORD code;
        const char* said;
    };
    const Case cases[] = {
        {L"--bogus", 2, "unknown option --bogus"},
        {common + L"--file \"" + ProgramDir() + L"no_such_list.csv\" --write", 2, "the run wrote nothing"},
        {common + L"--file \"" + list + L"\" --write --resume", 10, "No batch write was left unfinished"},
        {common + L"--file \"" + list + L"\" --write --timeout 1", 11, "the run did not end within --timeout 1 s"},
        {common + L"--file \"" + list + L"\" --write --screenshot \"" + ProgramDir() + L"no_such_folder\\x.png\"", 8,
         "cannot save the screenshot"},
    };
    for (const Case& c : cases) {
        const HostRun run = RunHost(c.arguments, L"host_codes.txt");
        EXPECT_EQ(c.code, run.exitCode) << Utf8(c.arguments) << ": " << run.output;
        EXPECT_NE(std::string::npos, run.output.find(c.said)) << Utf8(c.arguments) << ": " << run.output;
    }
    // A second host on a list that a host is writing writes nothing.
    ForgetRunRecords();  // the state file polled for below is the first host's
    std::wstring first = L"\"" + ProgramDir() + L"trevanil_host.exe\" " + common + L"--file \"" + list + L"\" --write";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, first.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    activex::UniqueHandle firstHost(process.hProcess);
    CloseHandle(process.hThread);
    wchar_t localAppData[MAX_PATH] = L"";
    ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData));
    const std::wstring states = std::wstring(localAppData) + L"\\trevanil\\runs\\*.txt";
    ASSERT_TRUE(orvex_test::PollUntil(
        [&] {
            WIN32_FIND_DATAW found{};
            return static_cast<bool>(activex::UniqueFindHandle(FindFirstFileW(states.c_str(), &found)));
        },
        60000));
    const HostRun second = RunHost(common + L"--file \"" + list + L"\" --write", L"host_codes_busy.txt");
    EXPECT_EQ(13u, second.exitCode) << second.output;
    EXPECT_NE(std::string::npos, second.output.find("is writing")) << second.output;
    EXPECT_EQ(std::string::npos, second.output.find("pressing Write")) << second.output;
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(firstHost.get(), 120000));
    DWORD firstCode = 99;
    GetExitCodeProcess(firstHost.get(), &firstCode);
    EXPECT_EQ(0u, firstCode) << "the first host's run was not disturbed";
}

// A list with a row of every kind the check tells apart. The last line has no line break.
const std::string kCheckedList = kHeader +
                                 "Cam-A,x,10.71.0.1,admin,admin123,,,,PU-A\r\n"
                                 "#Cam-B,x,10.71.0.2,,,,,,#PU-B,,,,0,10.9.9.9,7001\r\n"
                                 "Cam-D,x,10.71.0.4\r\n"
                                 "Cam-E,x,10.71.0.5,admin,admin123,,,,PU-E,,,,1\r\n"
                                 "Cam-F,x,10.71.0.6,,,,,,PU-F,,,,0,10.9.9.9,0\r\n"
                                 "Cam-G,x,10.71.0.300,,,,,,PU-G\r\n"
                                 "Cam-H,x,10.71.0.8,,,,,,PU-H,,,,0,10.9.9,7001\r\n"
                                 "Cam-I,x,10.71.0.9,,,,,,PU-A\r\n"
                                 "Cam-J,x,010.71.0.1,,,,,,PU-J";

TEST_F(TrevanilHost, CheckSaysRowByRowWhatARunWouldDoAndWritesNothing)
{
    DeviceStore store("store_host_check.ini");
    AddDevices(store);
    const std::wstring path = WriteList(L"devices_check.csv", kCheckedList);
    const std::wstring file = L" --check \"" + path + L"\"";
    HostRun run = RunHost(L"--lang 2" + file + L" --ip 10.2.0.9 --port 6000", L"host_check_en.txt");
    EXPECT_EQ(1u, run.exitCode) << run.output;
    EXPECT_EQ("row 1  Cam-A  PU-A  10.71.0.1: will be written, platform 10.2.0.9:6000\n"
              "row 2  Cam-B  PU-B  10.71.0.2: will be written, platform 10.9.9.9:7001 (its own)\n"
              "row 3: incomplete (a device name, device IP and device ID are needed), not written\n"
              "row 4  Cam-E  PU-E  10.71.0.5: GB device, not written\n"
              "row 5  Cam-F  PU-F  10.71.0.6: its own platform port \"0\" is not 1-65535, not written\n"
              "row 6  Cam-G  PU-G: device IP \"10.71.0.300\" is not an IPv4 address, orvex refuses it (code 72)\n"
              "row 7  Cam-H  PU-H  10.71.0.8: platform IP \"10.9.9\" is not an IPv4 address, orvex refuses it (code 72)\n"
              "row 8  Cam-I  PU-A  10.71.0.9: will be written, platform 10.2.0.9:6000\n"
              "row 9  Cam-J  PU-J  010.71.0.1: will be written, platform 10.2.0.9:6000\n"
              "duplicate device ID PU-A: rows 1, 8 (the platform cannot hold two devices under one ID)\n"
              "duplicate device IP 10.71.0.1: rows 1, 9 (the same device is written more than once; only the name "
              "and ID of row 9 stay)\n"
              "summary: 9 rows: 4 will be written, 1 incomplete, 1 GB devices, 1 with an invalid own platform port, "
              "2 with an IP address orvex refuses; 1 duplicate device IDs, 1 duplicate device IPs\n",
              run.output);

    // Chinese by default; without --ip the rows take the address typed into the dialog.
    run = RunHost(file, L"host_check_zh.txt");
    EXPECT_EQ(1u, run.exitCode) << run.output;
    EXPECT_EQ(0u, run.output.find("第1行  Cam-A  PU-A  10.71.0.1：将写入，平台为对话框中填写的地址\n")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("\n汇总：共9行，将写入4行，信息不全1行")) << run.output;

    // Every row written and none clash: 0.
    const std::wstring good = WriteList(L"devices_check_good.csv", kHeader + kRowWritten + kRowOwnPlatform);
    run = RunHost(L"--check \"" + good + L"\" --ip 10.2.0.9 --port 6000", L"host_check_good.txt");
    EXPECT_EQ(0u, run.exitCode) << run.output;

    // Bad input: 2, with the reason.
    struct Bad {
        std::wstring arguments;
        const char* message;
    };
    const Bad bad[] = {
        {L"--lang 2 --check \"" + ProgramDir() + L"no_such_list.csv\"", "The device information file cannot be read: "},
        {L"--lang 2" + file + L" --ip 10.2.0.9 --port 70000", "Please enter a port number from the range of 0 to 65535."},
        {L"--lang 2" + file + L" --ip", "this option needs a value: --ip"},
        {L"--lang 2" + file + L" --write", "does not go with --check"},
    };
    for (const Bad& b : bad) {
        run = RunHost(b.arguments, L"host_check_bad.txt");
        EXPECT_EQ(2u, run.exitCode) << run.output;
        EXPECT_NE(std::string::npos, run.output.find(b.message)) << run.output;
    }
    for (const char* ip : {"10.71.0.1", "10.71.0.2", "10.71.0.5"}) EXPECT_EQ(0, store.Logins(ip)) << ip;
}

// trevanil_host.exe started without waiting for it; ended when the test leaves early.
class HostProcess {
public:
    explicit HostProcess(const std::wstring& arguments)
    {
        std::wstring command = L"\"" + ProgramDir() + L"trevanil_host.exe\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return;
        m_process.reset(process.hProcess);
        activex::UniqueHandle thread(process.hThread);
        m_id = process.dwProcessId;
    }
    ~HostProcess()
    {
        if (m_process && WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT) TerminateProcess(m_process.get(), 99);
    }
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    // A visible top-level window of the process of the given class ("#32770": a dialog)
    // whose owner is `owner` (null: any).
    HWND Window(const wchar_t* className, HWND owner = nullptr) const { return ProcessWindow(m_id, className, owner); }
    DWORD WaitForExit(DWORD limitMs) const
    {
        DWORD code = static_cast<DWORD>(-1);
        if (WaitForSingleObject(m_process.get(), limitMs) == WAIT_OBJECT_0) GetExitCodeProcess(m_process.get(), &code);
        return code;
    }

private:
    activex::UniqueHandle m_process;
    DWORD m_id = 0;
};

using activex::DescendantById;

TEST_F(TrevanilHost, MenuCommandChecksTheListInTheDialogAndStartsNoRun)
{
    const std::wstring path = WriteList(L"devices_menu_check.csv", kCheckedList);
    // With its list named, the host looks for an unfinished run of that list only (another
    // test's would be offered first otherwise).
    HostProcess host(L"--lang 2 --file \"" + path + L"\"");
    HWND frame = nullptr, fileEdit = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            frame = host.Window(L"TrevanilHostFrame");
            fileEdit = frame ? DescendantById(frame, IDC_FILE_PATH) : nullptr;
            return fileEdit != nullptr;
        },
        30000));
    SendMessageW(DescendantById(frame, IDC_PLATFORM_IP), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"10.2.0.9"));
    SendMessageW(fileEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));

    // The window's menu command (Wine keeps a menu inside its process: it is chosen by its id).
    EXPECT_TRUE(GetMenu(frame)) << "the window has its menu";
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(trevanil_host::kCheckCommandId, 0), 0);

    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (box = host.Window(L"#32770", frame)) != nullptr; }, 30000));
    EXPECT_EQ(L"Check device list", WindowTextOf(box));
    const std::string text = Utf8(WindowTextOf(GetDlgItem(box, 0xFFFF)));
    // The summary, then the clashes and the rows that would not be written (the dialog's
    // port, 5510, for the others).
    EXPECT_EQ(0u, text.find("summary: 9 rows: 4 will be written, 1 incomplete")) << text;
    EXPECT_NE(std::string::npos, text.find("\nduplicate device ID PU-A: rows 1, 8 ")) << text;
    EXPECT_NE(std::string::npos, text.find("\nrow 3: incomplete")) << text;
    EXPECT_NE(std::string::npos, text.find("\nrow 7  Cam-H  PU-H  10.71.0.8: platform IP \"10.9.9\"")) << text;
    EXPECT_EQ(std::string::npos, text.find("row 1 ")) << "rows that would be written are left out: " << text;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(box); }, 30000));

    // An address Write would refuse: its message comes first.
    SendMessageW(DescendantById(frame, IDC_PLATFORM_IP), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"10.2.0.999"));
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(trevanil_host::kCheckCommandId, 0), 0);
    ASSERT_TRUE(PumpUntil([&] { return (box = host.Window(L"#32770", frame)) != nullptr; }, 30000));
    EXPECT_EQ(0u, Utf8(WindowTextOf(GetDlgItem(box, 0xFFFF))).find("Invalid IP Address!\nsummary: 9 rows"));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(box); }, 30000));

    EXPECT_EQ(0, SendMessageW(DescendantById(frame, IDC_ROW_LIST), LVM_GETITEMCOUNT, 0, 0)) << "no run started";
    EXPECT_TRUE(IsWindowEnabled(DescendantById(frame, IDC_WRITE)));
    PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, host.WaitForExit(30000));
}

} // namespace
