#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "byte_helpers.h"
#include "fake_halcyra.h"
#include "good_request.h"
#include "recording_log.h"
#include "velaipc.h"

using ::testing::ElementsAre;

namespace {

constexpr std::uint8_t kFill = 0xAB;  // what the device holds where the adapter writes nothing

class V5AdapterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetHalcyra();
        ClearRecordedLog();
        Halcyra().Group(28, 80).assign(80, kFill);
        auto& sysPub = Halcyra().Group(2, 412);
        sysPub.assign(412, kFill);
        sysPub[275] = 0;
        PutText(sysPub, 282, "GB2312,UTF-8");
        Halcyra().Group(1, 148).assign(148, kFill);
    }

    bool Write(const char* name = "cam-1")
    {
        return adapter.WritePu(&handle, GoodRequest("10.0.0.1", 5510, "192.168.1.10", 65001, "PU-00000001", name,
                                                    "10.0.0.9"),
                               &code);
    }

    std::vector<std::uint8_t>& Group(int number) { return Halcyra().groups[number]; }

    CVelaIPCV5 adapter;
    int handle = 7;
    int code = 1;
};

}  // namespace

TEST_F(V5AdapterTest, ConnetLogsInWithNullCredentialsAtTheNetworkOrderAddress)
{
    int out = -1;
    code = 0;
    ASSERT_TRUE(adapter.Connet(&out, "10.0.0.1", 5510, "", "", &code));
    EXPECT_EQ(out, 7);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(Halcyra().userWasNull);
    EXPECT_TRUE(Halcyra().passWasNull);
    EXPECT_EQ(Halcyra().connectAddr, NetworkOrder(10, 0, 0, 1));
    EXPECT_EQ(Halcyra().connectPort, 5510);
    EXPECT_THAT(LoggedMessages("CVelaIPCV5::Connet"),
                ElementsAre("start init.", "IPC_Login start. ip-10.0.0.1.", "Connet end."));

    ASSERT_TRUE(adapter.Connet(&out, "10.0.0.1", 5510, "user", "pw", &code));
    EXPECT_FALSE(Halcyra().userWasNull);
    EXPECT_FALSE(Halcyra().passWasNull);
}

TEST_F(V5AdapterTest, ConnetFailuresAreTranslatedAndLogged)
{
    int out = -1;
    Halcyra().results["ZRM_InitPu"] = -5;
    EXPECT_FALSE(adapter.Connet(&out, "10.0.0.1", 5510, "", "", &code));
    EXPECT_EQ(code, 3);
    EXPECT_EQ(out, 0);
    EXPECT_EQ(Halcyra().CountCalls("ZRM_ConnectPU"), 0);
    EXPECT_THAT(LoggedMessages("CVelaIPCV5::Connet"), ElementsAre("start init.", "ZRM_InitPu err."));

    ClearRecordedLog();
    Halcyra().results["ZRM_InitPu"] = 0;
    Halcyra().results["ZRM_ConnectPU"] = -87;
    EXPECT_FALSE(adapter.Connet(&out, "10.0.0.1", 5510, "", "", &code));
    EXPECT_EQ(code, 41);
    EXPECT_EQ(LoggedMessages("CVelaIPCV5::Connet").back(), "ZRM_ConnectPU err. ip-10.0.0.1.errV5:-87, errPu:41");
}

TEST_F(V5AdapterTest, WritePuWritesEachFieldInNetworkOrderAndSaves)
{
    ASSERT_TRUE(Write());
    EXPECT_EQ(code, 1);  // untouched on success
    EXPECT_THAT(Halcyra().calls,
                ElementsAre("ZRM_GetPuParam:28:80:0", "ZRM_SetPuParam:28:80:0", "ZRM_GetPuParam:2:412:0",
                            "ZRM_SetPuParam:2:412:0", "ZRM_GetPuParam:1:148:0", "ZRM_GetPuCapVal:74",
                            "ZRM_SetPuParam:1:148:0", "ZRM_SaveSettings"));
    for (int seen : Halcyra().handlesSeen) EXPECT_EQ(seen, 7);

    auto& nms = Group(28);
    EXPECT_EQ(U32At(nms, 4), NetworkOrder(192, 168, 1, 10));
    EXPECT_EQ(nms[3], kFill);
    EXPECT_EQ(nms[8], kFill);

    auto& sysPub = Group(2);
    EXPECT_EQ(U32At(sysPub, 72), NetworkOrder(10, 0, 0, 9));
    EXPECT_EQ(U16At(sysPub, 88), 65001);
    EXPECT_EQ(U32At(sysPub, 92), NetworkOrder(192, 168, 1, 10));
    EXPECT_EQ(BytesAt(sysPub, 174, 33), TextPadded("PU-00000001", 33));
    EXPECT_EQ(BytesAt(sysPub, 207, 33), TextPadded("PU-00000001", 33));
    EXPECT_EQ(sysPub[275], 4);
    EXPECT_EQ(BytesAt(sysPub, 347, 64), TextPadded("UTF-8", 64));
    EXPECT_EQ(sysPub[71], kFill);
    EXPECT_EQ(sysPub[96], kFill);
    EXPECT_EQ(sysPub[173], kFill);
    EXPECT_EQ(sysPub[240], kFill);
    EXPECT_EQ(sysPub[411], kFill);

    auto& sys = Group(1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(sys.data())), "cam-1");
    EXPECT_EQ(sys[6], kFill);  // copied with its terminator only (capability 74 is not 1)
    EXPECT_THAT(LoggedMessages("CVelaIPCV5::WritePu"),
                ElementsAre("start WritePu. szPuIP-10.0.0.1,lPuPort-5510.", "WritePu end."));
}

TEST_F(V5AdapterTest, Setting275IsWrittenOnlyWhenItReadsZero)
{
    Group(2)[275] = 2;
    ASSERT_TRUE(Write());
    EXPECT_EQ(Group(2)[275], 2);
}

TEST_F(V5AdapterTest, CharsetInUseFollowsTheSupportedList)
{
    PutText(Group(2), 282, "gb2312,utf-8");
    ASSERT_TRUE(Write());
    EXPECT_EQ(BytesAt(Group(2), 347, 64), TextPadded("UTF-8", 64));

    SetUp();
    PutText(Group(2), 282, "GB2312,UTF8");
    ASSERT_TRUE(Write());
    EXPECT_EQ(BytesAt(Group(2), 347, 64), std::vector<std::uint8_t>(64, kFill));
}

TEST_F(V5AdapterTest, NameIsCopiedZeroPaddedOnlyWithCapability74AndUtf8)
{
    Halcyra().capVal = 1;
    ASSERT_TRUE(Write("cam-2"));
    EXPECT_EQ(BytesAt(Group(1), 0, 64), TextPadded("cam-2", 64));
    EXPECT_EQ(Group(1)[64], kFill);

    SetUp();
    Halcyra().capVal = 1;
    PutText(Group(2), 282, "GB2312");
    ASSERT_TRUE(Write("cam-3"));
    EXPECT_EQ(Group(1)[6], kFill);

    SetUp();
    std::string tooLong(80, 'n');
    ASSERT_TRUE(Write(tooLong.c_str()));
    EXPECT_EQ(BytesAt(Group(1), 0, 65), TextPadded(std::string(64, 'n'), 65));
    EXPECT_EQ(Group(1)[65], kFill);
}

namespace {

struct V5FailStep {
    const char* failingCall;
    const char* logLine;
    std::vector<int> groupsWritten;
};

}  // namespace

TEST_F(V5AdapterTest, FailureAtEachStepStopsThereAndKeepsEarlierWrites)
{
    const V5FailStep steps[] = {
        {"ZRM_GetPuParam:28", "ZRM_GetPuParam emPuConfig_Nms fail.errV5:-3, errPu:2", {}},
        {"ZRM_SetPuParam:28", "ZRM_SetPuParam emPuConfig_Nms fail.errV7:-3, errPu:2", {}},
        {"ZRM_GetPuParam:2", "ZRM_GetPuParam emPuConfig_SysPub fail.errV7:-3, errPu:2", {28}},
        {"ZRM_SetPuParam:2", "ZRM_SetPuParam emPuConfig_SysPub fail.errV7:-3, errPu:2", {28}},
        {"ZRM_GetPuParam:1", "ZRM_GetPuParam emPuConfig_Sys fail.errV7:-3, errPu:2", {28, 2}},
        {"ZRM_SetPuParam:1", "ZRM_SetPuParam emPuConfig_Sys fail.errV7:-3, errPu:2", {28, 2}},
        {"ZRM_SaveSettings", "ZRM_SaveSettingss fail.errV7:-3, errPu:2", {28, 2, 1}},
    };
    for (const V5FailStep& step : steps) {
        SetUp();
        Halcyra().results[step.failingCall] = -3;
        code = 1;
        EXPECT_FALSE(Write()) << step.failingCall;
        EXPECT_EQ(code, 2) << step.failingCall;
        EXPECT_EQ(LoggedMessages("CVelaIPCV5::WritePu").back(), step.logLine);
        EXPECT_EQ(Halcyra().calls.back().rfind(step.failingCall, 0), 0u) << "nothing runs after the failure";
        // One field of each group tells whether the device took that group's write.
        const std::pair<int, bool> changed[] = {{28, U32At(Group(28), 4) != 0xABABABABu},
                                                {2, U32At(Group(2), 72) != 0xABABABABu},
                                                {1, Group(1)[0] != kFill}};
        for (const auto& [group, isChanged] : changed) {
            bool expected = std::find(step.groupsWritten.begin(), step.groupsWritten.end(), group) !=
                            step.groupsWritten.end();
            EXPECT_EQ(isChanged, expected) << step.failingCall << " group " << group;
        }
    }
}

TEST_F(V5AdapterTest, DisConnectClosesOnlyALiveConnection)
{
    Halcyra().connected = 0;
    EXPECT_TRUE(adapter.DisConnect(7, &code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Halcyra().CountCalls("ZRM_DisConnectPU"), 0);

    Halcyra().connected = 1;
    code = 1;
    EXPECT_TRUE(adapter.DisConnect(7, &code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Halcyra().CountCalls("ZRM_DisConnectPU"), 1);

    Halcyra().results["ZRM_DisConnectPU"] = -83;
    EXPECT_FALSE(adapter.DisConnect(7, &code));
    EXPECT_EQ(code, 45);
}

TEST_F(V5AdapterTest, IsUseDomainReadsByte56OfGroup51)
{
    Halcyra().Group(51, 252)[56] = 1;
    code = 1;
    EXPECT_TRUE(adapter.IsUseDomain(7, &code));
    EXPECT_EQ(code, 1);
    EXPECT_EQ(Halcyra().calls.back(), "ZRM_GetPuParam:51:252:0");

    Halcyra().Group(51, 252)[56] = 2;
    EXPECT_FALSE(adapter.IsUseDomain(7, &code));

    Halcyra().results["ZRM_GetPuParam:51"] = -7;
    EXPECT_FALSE(adapter.IsUseDomain(7, &code));
    EXPECT_EQ(code, 5);

    Halcyra().connected = 0;
    EXPECT_FALSE(adapter.IsUseDomain(7, &code));
    EXPECT_EQ(code, 0);
}

TEST_F(V5AdapterTest, IsConnectedAndReRootReportAsTheLibraryAnswers)
{
    code = 9;
    EXPECT_TRUE(adapter.IsConnected(7, &code));
    EXPECT_EQ(code, 9);
    Halcyra().connected = 0;
    EXPECT_FALSE(adapter.IsConnected(7, &code));
    EXPECT_EQ(code, 0);

    code = 9;
    EXPECT_TRUE(adapter.ReRoot(7, &code));
    EXPECT_EQ(code, 9);
    Halcyra().results["ZRM_RebootPu"] = -1;
    EXPECT_FALSE(adapter.ReRoot(7, &code));
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(RecordedLog().empty());  // only Connet and WritePu log
}
