#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "byte_helpers.h"
#include "fake_flat_api.h"
#include "good_request.h"
#include "recording_log.h"
#include "velaipc.h"

using ::testing::ElementsAre;

namespace {

constexpr std::uint8_t kFill = 0xCD;

class V7AdapterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetCamera();
        ClearRecordedLog();
        Camera().Block("Quor", 598).assign(598, kFill);
        Camera().Block("DeviceInfo", 329).assign(329, kFill);
        auto& ip = Camera().Block("IpInfo", 1866);
        ip.assign(1866, kFill);
        const std::uint8_t first[4] = {0x01, 0x02, 0x03, 0x04}, second[4] = {0xFF, 0x00, 0x00, 0x10};
        std::copy(first, first + 4, ip.begin() + 24);
        std::copy(second, second + 4, ip.begin() + 28);
    }

    bool Write()
    {
        return adapter.WritePu(&handle, GoodRequest("10.0.0.1", 80, "192.168.1.10", 65001, "PU-00000001", "cam-1",
                                                    "10.0.0.9"),
                               &code);
    }

    std::vector<std::uint8_t>& Block(const char* name) { return Camera().blocks[name]; }

    CVelaIPCV7 adapter;
    int handle = 5;
    int code = 1;
};

}  // namespace

TEST_F(V7AdapterTest, InitLoadsTheCameraThenTheMediaLibrary)
{
    Camera().initErr = {{"ravicore.dll", 1}, {"ravimedia.dll", 1}};
    code = 0;
    EXPECT_TRUE(adapter.Init(&code));
    EXPECT_EQ(code, 0);
    EXPECT_THAT(Camera().initLibraries, ElementsAre("ravicore.dll", "ravimedia.dll"));
    EXPECT_THAT(Camera().initValues, ElementsAre(3300, 3000));
    EXPECT_EQ(Camera().errSeen["IPC_InitDll:ravicore.dll"], 0);
    EXPECT_EQ(Camera().errSeen["IPC_InitDll:ravimedia.dll"], 1);
}

TEST_F(V7AdapterTest, InitFailsWhenEitherLibraryIsMissing)
{
    Camera().initErr = {{"ravicore.dll", 2}};
    EXPECT_FALSE(adapter.Init(&code));
    EXPECT_EQ(code, 11);
    EXPECT_THAT(Camera().initLibraries, ElementsAre("ravicore.dll"));

    ResetCamera();
    Camera().initErr = {{"ravicore.dll", 1}, {"ravimedia.dll", 2}};
    EXPECT_FALSE(adapter.Init(&code));
    EXPECT_EQ(code, 11);

    ResetCamera();  // a library without an init function leaves the error value at 0
    EXPECT_FALSE(adapter.Init(&code));
    EXPECT_EQ(code, -1);
}

TEST_F(V7AdapterTest, ConnetCreatesAHandleLogsInAndAddsTheDetector)
{
    int out = 0;
    code = 0;
    ASSERT_TRUE(adapter.Connet(&out, "192.168.1.64", 80, "admin", "pw", &code));
    EXPECT_EQ(out, 5);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Camera().createAddr, 0xC0A80140u);  // host order: first part high
    EXPECT_EQ(Camera().createPort, 80);
    EXPECT_EQ(Camera().createUser, "admin");
    EXPECT_EQ(Camera().createPass, "pw");
    EXPECT_EQ(Camera().handleSeen["IPC_Login"], 5);
    EXPECT_EQ(Camera().errSeen["IPC_Login"], 1);
    EXPECT_EQ(Camera().loginUser, "admin");
    EXPECT_EQ(Camera().loginPass, "pw");
    EXPECT_EQ(Camera().handleSeen["IPC_AddConnectDetect"], 5);
    EXPECT_EQ(Camera().detectInterval, 3000);
    EXPECT_EQ(Camera().detectMode, 2);
    EXPECT_TRUE(Camera().detectCallbackGiven);
    EXPECT_EQ(Camera().detectLast, 0);
    EXPECT_THAT(LoggedMessages("CVelaIPCV7::Connet"), ElementsAre("start Connet.", "Connet end."));
}

TEST_F(V7AdapterTest, AnyNonZeroLoginStatusIsSuccessAndAMissingDetectorIsFine)
{
    Camera().status["IPC_Login"] = 3;
    Camera().detectorPresent = false;
    int out = 0;
    code = 0;
    EXPECT_TRUE(adapter.Connet(&out, "10.0.0.1", 80, "admin", "pw", &code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Camera().CountCalls("IPC_AddConnectDetect"), 0);
    EXPECT_THAT(LoggedMessages("CVelaIPCV7::Connet"), ElementsAre("start Connet.", "Connet end."));
}

TEST_F(V7AdapterTest, RefusedLoginIsLoggedWithTheNameAndAMaskedPassword)
{
    Camera().status["IPC_Login"] = 0;
    Camera().errOut["IPC_Login"] = 202;
    int out = 0;
    EXPECT_FALSE(adapter.Connet(&out, "10.0.0.1", 80, "admin", "topsecret", &code));
    EXPECT_EQ(code, 41);
    EXPECT_EQ(out, 5);  // the handle is left as it is
    EXPECT_EQ(Camera().CountCalls("IPC_AddConnectDetect"), 0);
    EXPECT_EQ(LoggedMessages("CVelaIPCV7::Connet").back(), "IPC_Login fail. name-admin,password-***.errV7:202, errPu:41");
    EXPECT_EQ(WholeLog().find("topsecret"), std::string::npos);

    ClearRecordedLog();
    EXPECT_FALSE(adapter.Connet(&out, "10.0.0.1", 80, "admin", "", &code));
    EXPECT_EQ(LoggedMessages("CVelaIPCV7::Connet").back(), "IPC_Login fail. name-admin,password-.errV7:202, errPu:41");
}

TEST_F(V7AdapterTest, LoginFailureLineWithLongNamesStaysInItsBuffer)
{
    Camera().status["IPC_Login"] = 0;
    std::string name(127, 'u'), pass(127, 'p');
    int out = 0;
    EXPECT_FALSE(adapter.Connet(&out, "10.0.0.1", 80, name.c_str(), pass.c_str(), &code));
    std::string line = LoggedMessages("CVelaIPCV7::Connet").back();
    EXPECT_LE(line.size(), 255u);
    EXPECT_EQ(line.rfind("IPC_Login fail. name-" + name, 0), 0u);
}

TEST_F(V7AdapterTest, DetectorFailureIsJudgedByTheStatusLowByte)
{
    Camera().detectorStatus = 0x100;  // low byte 0
    Camera().errOut["IPC_AddConnectDetect"] = 203;
    int out = 0;
    EXPECT_FALSE(adapter.Connet(&out, "10.0.0.1", 80, "admin", "pw", &code));
    EXPECT_EQ(code, 56);
    EXPECT_EQ(Camera().CountCalls("IPC_Logout"), 0);
    EXPECT_EQ(LoggedMessages("CVelaIPCV7::Connet").back(), "IPC_AddConnectDetect fail. errV7:203, errPu:56");
}

TEST_F(V7AdapterTest, WritePuWritesTheThreeBlocksInHostOrder)
{
    ASSERT_TRUE(Write());
    EXPECT_EQ(code, 1);  // untouched on success
    EXPECT_THAT(Camera().calls, ElementsAre("IPC_GetQuor", "IPC_SetQuor", "IPC_GetDeviceInfo", "IPC_SetDeviceInfo",
                                            "IPC_GetIpInfo", "IPC_SetIpInfo"));
    EXPECT_EQ(Camera().errSeen["IPC_GetQuor"], 0);
    for (const char* call : {"IPC_GetQuor", "IPC_SetQuor", "IPC_GetDeviceInfo", "IPC_SetDeviceInfo", "IPC_GetIpInfo",
                             "IPC_SetIpInfo"})
        EXPECT_EQ(Camera().handleSeen[call], 5) << call;
    EXPECT_EQ(Camera().sizeSeen["IPC_GetQuor"], 598);
    EXPECT_EQ(Camera().sizeSeen["IPC_SetQuor"], 598);
    EXPECT_EQ(Camera().sizeSeen["IPC_GetDeviceInfo"], 0);
    EXPECT_EQ(Camera().sizeSeen["IPC_SetDeviceInfo"], 0);
    EXPECT_EQ(Camera().sizeSeen["IPC_GetIpInfo"], 1866);
    EXPECT_EQ(Camera().sizeSeen["IPC_SetIpInfo"], 1866);

    auto& quor = Block("Quor");
    EXPECT_EQ(U16At(quor, 4), 65001);
    EXPECT_EQ(U32At(quor, 8), 0xC0A8010Au);
    EXPECT_EQ(BytesAt(quor, 12, 33), TextPadded("PU-00000001", 33));
    EXPECT_EQ(quor[3], kFill);
    EXPECT_EQ(quor[6], kFill);
    EXPECT_EQ(quor[45], kFill);

    auto& info = Block("DeviceInfo");
    EXPECT_EQ(BytesAt(info, 0, 6), TextPadded("cam-1", 6));
    EXPECT_EQ(info[6], kFill);

    auto& ip = Block("IpInfo");
    EXPECT_EQ(U32At(ip, 32), 0x0A000009u);
    EXPECT_EQ(U32At(ip, 24), 0x01020304u);  // were in network order on the device
    EXPECT_EQ(U32At(ip, 28), 0xFF000010u);
    EXPECT_EQ(ip[23], kFill);
    EXPECT_EQ(ip[36], kFill);
    EXPECT_THAT(LoggedMessages("CVelaIPCV7::WritePu"),
                ElementsAre("start WritePu. szPuIP-10.0.0.1,lPuPort-80.", "WritePu end."));
}

TEST_F(V7AdapterTest, LongPuIdAndNameAreCutToTheirFields)
{
    std::string puid(40, 'i'), name(80, 'n');
    const WritePuRequest request = GoodRequest("10.0.0.1", 80, "1.2.3.4", 1, puid.c_str(), name.c_str(), "10.0.0.2");
    ASSERT_TRUE(adapter.WritePu(&handle, request, &code));
    EXPECT_EQ(BytesAt(Block("Quor"), 12, 33), TextPadded(std::string(32, 'i'), 33));
    EXPECT_EQ(Block("Quor")[45], kFill);
    EXPECT_EQ(BytesAt(Block("DeviceInfo"), 0, 65), TextPadded(std::string(64, 'n'), 65));
    EXPECT_EQ(Block("DeviceInfo")[65], kFill);
}

namespace {

struct V7FailStep {
    const char* failingCall;
    const char* logLine;
    std::vector<const char*> blocksWritten;
};

}  // namespace

TEST_F(V7AdapterTest, FailureAtEachStepStopsThereAndKeepsEarlierWrites)
{
    const V7FailStep steps[] = {
        {"IPC_GetQuor", "IPC_GetQuor fail. errV7:212, errPu:64,puHandle-5", {}},
        {"IPC_SetQuor", "IPC_SetQuor fail. errV7:212, errPu:64", {}},
        {"IPC_GetDeviceInfo", "IPC_GetDeviceInfo fail. errV7:212, errPu:64", {"Quor"}},
        {"IPC_SetDeviceInfo", "IPC_SetDeviceInfo fail. errV7:212, errPu:64", {"Quor"}},
        {"IPC_GetIpInfo", "IPC_GetIpInfo fail. errV7:212, errPu:64", {"Quor", "DeviceInfo"}},
        {"IPC_SetIpInfo", "IPC_SetIpInfo fail. errV7:212, errPu:64", {"Quor", "DeviceInfo"}},
    };
    for (const V7FailStep& step : steps) {
        SetUp();
        Camera().status[step.failingCall] = 0;
        Camera().errOut[step.failingCall] = 212;
        code = 1;
        EXPECT_FALSE(Write()) << step.failingCall;
        EXPECT_EQ(code, 64);
        EXPECT_EQ(Camera().calls.back(), step.failingCall);
        EXPECT_EQ(LoggedMessages("CVelaIPCV7::WritePu").back(), step.logLine);
        const std::pair<const char*, bool> changed[] = {{"Quor", U32At(Block("Quor"), 8) != 0xCDCDCDCDu},
                                                        {"DeviceInfo", Block("DeviceInfo")[0] != kFill},
                                                        {"IpInfo", U32At(Block("IpInfo"), 32) != 0xCDCDCDCDu}};
        for (const auto& [block, isChanged] : changed) {
            bool expected = std::any_of(step.blocksWritten.begin(), step.blocksWritten.end(),
                                        [&](const char* name) { return std::string(name) == block; });
            EXPECT_EQ(isChanged, expected) << step.failingCall << " block " << block;
        }
    }
}

TEST_F(V7AdapterTest, DisConnectLogsOutOnlyALiveConnection)
{
    Camera().connectedFlag = 0;
    code = 9;
    EXPECT_TRUE(adapter.DisConnect(5, &code));
    EXPECT_EQ(code, 9);
    EXPECT_EQ(Camera().handleSeen["IPC_IsConnect"], 5);
    EXPECT_EQ(Camera().errSeen["IPC_IsConnect"], 1);
    EXPECT_EQ(Camera().errSeen["IPC_IsConnect:flag"], 0);
    EXPECT_THAT(Camera().calls, ElementsAre("IPC_IsConnect"));

    Camera().connectedFlag = 1;
    Camera().calls.clear();
    EXPECT_TRUE(adapter.DisConnect(5, &code));
    EXPECT_THAT(Camera().calls, ElementsAre("IPC_IsConnect", "IPC_DelConnectDetect", "IPC_Logout"));
    EXPECT_EQ(Camera().handleSeen["IPC_DelConnectDetect"], 5);
    EXPECT_EQ(Camera().handleSeen["IPC_Logout"], 5);

    Camera().status["IPC_Logout"] = 0;
    Camera().errOut["IPC_Logout"] = 7;
    EXPECT_FALSE(adapter.DisConnect(5, &code));
    EXPECT_EQ(code, 7);

    Camera().status["IPC_IsConnect"] = 3;  // no library offers the function
    Camera().errOut["IPC_IsConnect"] = 150;
    code = 9;
    EXPECT_FALSE(adapter.DisConnect(5, &code));
    EXPECT_EQ(code, -1);
}

TEST_F(V7AdapterTest, IsConnectedAndReRootLeaveTheCodeForADeadConnection)
{
    code = 9;
    EXPECT_TRUE(adapter.IsConnected(5, &code));
    Camera().connectedFlag = 0;
    EXPECT_FALSE(adapter.IsConnected(5, &code));
    EXPECT_FALSE(adapter.ReRoot(5, &code));
    EXPECT_EQ(code, 9);
    EXPECT_EQ(Camera().CountCalls("IPC_SystemReboot"), 0);

    Camera().connectedFlag = 1;
    EXPECT_TRUE(adapter.ReRoot(5, &code));
    EXPECT_EQ(Camera().handleSeen["IPC_SystemReboot"], 5);
    Camera().status["IPC_SystemReboot"] = 0;
    Camera().errOut["IPC_SystemReboot"] = 233;
    EXPECT_FALSE(adapter.ReRoot(5, &code));
    EXPECT_EQ(code, 85);

    Camera().status["IPC_IsConnect"] = 0;
    Camera().errOut["IPC_IsConnect"] = 2;
    EXPECT_FALSE(adapter.IsConnected(5, &code));
    EXPECT_EQ(code, 11);
}

TEST_F(V7AdapterTest, IsUseDomainAsksNothing)
{
    code = 9;
    EXPECT_TRUE(adapter.IsUseDomain(5, &code));
    EXPECT_EQ(code, 9);
    EXPECT_TRUE(Camera().calls.empty());
    EXPECT_TRUE(RecordedLog().empty());
}
