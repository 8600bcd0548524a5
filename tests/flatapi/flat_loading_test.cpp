// Loading and releasing the camera and media libraries through IPC_InitDll,
// IPC_ReleaseDll and MED_FreeMedia.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "activex/unique_handle.h"
#include "flat_recording_sink.h"
#include "flat_test_module.h"

namespace {

constexpr std::int32_t kUntouched = 0x5A5A;

class FlatLoading : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, OrvexModule());
        ReleaseAllLibraries();
        recording::Reset();
    }
    void TearDown() override { ReleaseAllLibraries(); }
};

std::vector<std::string> CallSequence()
{
    std::vector<std::string> sequence;
    for (const LibraryCall& call : recording::Calls()) sequence.push_back(std::string(1, call.library) + ":" + call.name);
    return sequence;
}

std::wstring LoadedPath(const wchar_t* name)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(name), path, MAX_PATH);
    return path;
}

}  // namespace

TEST_F(FlatLoading, CameraLibraryLoadsFromTheProgramsDirectoryAndRunsItsInit)
{
    std::int32_t error = kUntouched;
    // The flag is 8 bits wide: the upper bits of its word are not passed on.
    EXPECT_EQ(1, InitDll("ravicore.dll", 3300, 0x1200, &error));
    EXPECT_EQ(ProgramDirectory() + L"ravicore.dll", LoadedPath(L"ravicore.dll"));
    ASSERT_EQ(std::vector<std::string>{"C:IPC_InitDll"}, CallSequence());
    const LibraryCall& call = recording::Calls().front();
    EXPECT_EQ(3300, call.args[0]);
    EXPECT_EQ(0, call.args[1]);
    EXPECT_EQ(reinterpret_cast<FlatArg>(&error), call.args[2]);
}

TEST_F(FlatLoading, MediaLibraryInitCallsBothLibrariesMedInitMediaWithTheConstantOne)
{
    std::int32_t error = 0;
    ASSERT_EQ(1, InitDll("ravicore.dll", 3300, 0, &error));
    recording::Reset();
    error = kUntouched;
    EXPECT_EQ(1, InitDll("ravimedia.dll", 3000, 1, &error));
    EXPECT_EQ(kUntouched, error) << "the media init neither passes nor touches the error";
    ASSERT_EQ((std::vector<std::string>{"C:MED_InitMedia", "M:MED_InitMedia"}), CallSequence());
    for (const LibraryCall& call : recording::Calls()) {
        EXPECT_EQ(3000, call.args[0]);
        EXPECT_EQ(1, call.args[1]);
        EXPECT_EQ(1, call.args[2]);
    }

    // Loading the camera library again: both libraries' IPC_InitDll, camera first.
    recording::Reset();
    EXPECT_EQ(1, InitDll("ravicore.dll", 3300, 0, &error));
    EXPECT_EQ((std::vector<std::string>{"C:IPC_InitDll", "M:IPC_InitDll"}), CallSequence());
}

TEST_F(FlatLoading, NamesAreComparedExactlySoOtherSpellingsLoadNothing)
{
    for (const char* name : {"RAVICORE.DLL", "Ravimedia.dll", "other.dll", ""}) {
        SCOPED_TRACE(name);
        std::int32_t error = kUntouched;
        EXPECT_EQ(1, InitDll(name, 3300, 0, &error));
        EXPECT_EQ(kUntouched, error);
        EXPECT_EQ(nullptr, GetModuleHandleW(L"ravicore.dll"));
        EXPECT_EQ(nullptr, GetModuleHandleW(L"ravimedia.dll"));
        EXPECT_TRUE(recording::Calls().empty());
    }
}

TEST_F(FlatLoading, ANameWhosePathWouldNotFitIsRefusedLikeAMissingFile)
{
    const std::string longName = std::string(300, 'r') + ".dll";
    std::int32_t error = kUntouched;
    EXPECT_EQ(0, InitDll(longName.c_str(), 3300, 0, &error));
    EXPECT_EQ(2, error);
    // Just too long for the 260-byte path once the program's directory is in front.
    const std::size_t dirLength = ProgramDirectory().size();
    const std::string edgeName = std::string(260 - dirLength, 'e');
    error = kUntouched;
    EXPECT_EQ(0, InitDll(edgeName.c_str(), 3300, 0, &error));
    EXPECT_EQ(2, error);
    // A null error pointer is never written through.
    EXPECT_EQ(0, InitDll(longName.c_str(), 3300, 0, nullptr));
    EXPECT_TRUE(recording::Calls().empty());
}

TEST_F(FlatLoading, ReleaseFinishesTheMediaLibraryFirstThenTheCamera)
{
    std::int32_t error = 0;
    ASSERT_EQ(1, InitDll("ravicore.dll", 3300, 0, &error));
    ASSERT_EQ(1, InitDll("ravimedia.dll", 3000, 0, &error));
    recording::Reset();
    recording::SetAnswer(0);  // the libraries' own failures change nothing here
    EXPECT_EQ(1, ReleaseDll(&error));
    ASSERT_EQ((std::vector<std::string>{"C:MED_FreeMedia", "M:MED_FreeMedia", "C:IPC_ReleaseDll"}), CallSequence());
    EXPECT_EQ(reinterpret_cast<FlatArg>(&error), recording::Calls().back().args[0]);
    EXPECT_EQ(nullptr, GetModuleHandleW(L"ravicore.dll"));
    EXPECT_EQ(nullptr, GetModuleHandleW(L"ravimedia.dll"));

    recording::Reset();
    EXPECT_EQ(1, ReleaseDll(&error)) << "nothing left to release";
    EXPECT_TRUE(recording::Calls().empty());
}

TEST_F(FlatLoading, ReleaseWithOnlyTheMediaLibraryCallsNoReleaseDll)
{
    std::int32_t error = 0;
    ASSERT_EQ(1, InitDll("ravimedia.dll", 3000, 0, &error));
    recording::Reset();
    EXPECT_EQ(1, ReleaseDll(&error));
    EXPECT_EQ(std::vector<std::string>{"M:MED_FreeMedia"}, CallSequence());
    EXPECT_EQ(nullptr, GetModuleHandleW(L"ravimedia.dll"));
}

TEST_F(FlatLoading, FreeMediaCallsBothLibrariesAndUnloadsOnlyTheMedia)
{
    std::int32_t error = 0;
    ASSERT_EQ(1, InitDll("ravicore.dll", 3300, 0, &error));
    ASSERT_EQ(1, InitDll("ravimedia.dll", 3000, 0, &error));
    recording::Reset();
    EXPECT_EQ(1, FreeMedia());
    EXPECT_EQ((std::vector<std::string>{"C:MED_FreeMedia", "M:MED_FreeMedia"}), CallSequence());
    EXPECT_EQ(nullptr, GetModuleHandleW(L"ravimedia.dll"));
    EXPECT_NE(nullptr, GetModuleHandleW(L"ravicore.dll"));
}

// A copy of this program in a folder without the libraries, with a ravicore.dll
// elsewhere on the search path: IPC_InitDll must not find that copy.
TEST(FlatLoadingByFullPath, ACopyElsewhereOnTheSearchPathIsNotUsed)
{
    namespace fs = std::filesystem;
    const fs::path programDir = ProgramDirectory();
    const fs::path childDir = programDir / ("nolibs_" + std::to_string(GetCurrentProcessId()));
    const fs::path elsewhere = childDir / "elsewhere";
    fs::create_directories(elsewhere);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const fs::path childExe = childDir / fs::path(self).filename();
    fs::copy_file(self, childExe, fs::copy_options::overwrite_existing);
    for (const auto& entry : fs::directory_iterator(programDir)) {
        const std::wstring name = entry.path().filename().wstring();
        if (entry.path().extension() != L".dll") continue;
        const bool deviceLibrary = name == L"ravicore.dll" || name == L"ravimedia.dll";
        fs::copy_file(entry.path(), (deviceLibrary ? elsewhere : childDir) / name, fs::copy_options::overwrite_existing);
    }

    const fs::path report = childDir / "child.xml";
    std::wstring command = L"\"" + childExe.wstring() + L"\" --gtest_filter=FlatLoadingChild.* --gtest_output=xml:" +
                           report.wstring();
    const std::wstring oldPath = _wgetenv(L"PATH") ? _wgetenv(L"PATH") : L"";
    SetEnvironmentVariableW(L"PATH", (elsewhere.wstring() + L";" + oldPath).c_str());
    SetEnvironmentVariableW(L"ORVEX_FLAT_CHILD", L"1");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        childDir.wstring().c_str(), &startup, &process);
    SetEnvironmentVariableW(L"ORVEX_FLAT_CHILD", nullptr);
    SetEnvironmentVariableW(L"PATH", oldPath.c_str());
    ASSERT_TRUE(started);
    const activex::UniqueHandle child(process.hProcess), childThread(process.hThread);
    const bool ended = WaitForSingleObject(child.get(), 120000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(child.get(), 1);  // a hung child is ended, and fails the test
    DWORD exitCode = 1;
    GetExitCodeProcess(child.get(), &exitCode);
    EXPECT_TRUE(ended) << "the child did not end within two minutes";
    std::string reportText;
    if (FILE* file = _wfopen(report.wstring().c_str(), L"rb")) {
        char chunk[4096];
        for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) reportText.append(chunk, got);
        std::fclose(file);
    }
    std::error_code ignored;
    fs::remove_all(childDir, ignored);
    EXPECT_EQ(0u, exitCode) << "the child's checks failed";
    EXPECT_NE(std::string::npos, reportText.find("tests=\"1\" failures=\"0\"")) << reportText;
    EXPECT_NE(std::string::npos, reportText.find("result=\"completed\"")) << reportText;
}

// The child's own check: registered only in the child (ORVEX_FLAT_CHILD set), so that it
// is neither listed nor shown as skipped in ordinary runs.
class FlatLoadingChild : public ::testing::Test {
public:
    void TestBody() override
    {
        std::int32_t error = kUntouched;
        EXPECT_EQ(0, InitDll("ravicore.dll", 3300, 0, &error));
        EXPECT_EQ(2, error);
        EXPECT_EQ(nullptr, GetModuleHandleW(L"ravicore.dll"));
        EXPECT_TRUE(recording::Calls().empty()) << "no init function may run";
        // The copy is there to be found by an ordinary search.
        HMODULE found = LoadLibraryW(L"ravicore.dll");
        EXPECT_NE(nullptr, found);
        if (found) FreeLibrary(found);
    }
};

const bool kChildRegistered = GetEnvironmentVariableW(L"ORVEX_FLAT_CHILD", nullptr, 0) != 0 &&
    ::testing::RegisterTest("FlatLoadingChild", "MissingFromTheProgramsDirectoryGivesError2", nullptr, nullptr,
                            __FILE__, __LINE__, []() -> ::testing::Test* { return new FlatLoadingChild; }) != nullptr;
