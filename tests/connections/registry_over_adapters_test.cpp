// The module's registry as the control builds it: real adapters over fake libraries.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "byte_helpers.h"
#include "fake_flat_api.h"
#include "fake_halcyra.h"
#include "fake_login_prompt.h"
#include "good_request.h"
#include "pu_manager.h"
#include "pu_protocols.h"
#include "recording_log.h"

namespace {

class ModuleRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetHalcyra();
        ResetCamera();
        ClearRecordedLog();
        TestModulePrompt().runs = 0;
        TestModulePrompt().answer = 1;
        Camera().initErr = {{"ravicore.dll", 1}, {"ravimedia.dll", 1}};
    }

    // A write of the platform settings that keeps the device's own address.
    static WritePuRequest Request(const char* ip, const char* puId)
    {
        return GoodRequest(ip, 5510, "192.168.1.10", 9000, puId, "cam", ip);
    }
};

}  // namespace

TEST_F(ModuleRegistryTest, OlderProtocolDeviceIsWrittenThroughTheV5Adapter)
{
    PuManager registry{DefaultPuProtocols(), TestModulePrompt()};
    int code = 0;
    ASSERT_TRUE(registry.Init(&code));
    int id = 0;
    code = 1;
    ASSERT_TRUE(registry.WritePu(Request("10.0.0.1", "PU-1"), &id, &code));
    EXPECT_EQ(id, 1);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Halcyra().connectPort, 5510);
    EXPECT_EQ(U32At(Halcyra().groups[28], 4), NetworkOrder(192, 168, 1, 10));
    EXPECT_EQ(Halcyra().CountCalls("ZRM_SaveSettings"), 1);
    EXPECT_TRUE(Camera().CountCalls("IPC_Login") == 0);

    ASSERT_TRUE(registry.SetPuOnline(id));
    EXPECT_TRUE(registry.ReRoot(id, &code));
    EXPECT_TRUE(registry.DisConnect(id, &code));
    EXPECT_EQ(Halcyra().CountCalls("ZRM_RebootPu"), 1);
    EXPECT_EQ(Halcyra().CountCalls("ZRM_DisConnectPU"), 1);
}

TEST_F(ModuleRegistryTest, NewerProtocolDeviceUsesTheStoredLoginOnPort80)
{
    Halcyra().results["ZRM_ConnectPU"] = -28;
    {
        PuManager registry{DefaultPuProtocols(), TestModulePrompt()};
        int code = 0;
        ASSERT_TRUE(registry.Init(&code));
        registry.SetLoginInfo("admin", "pw");
        int id = 0;
        code = 1;
        ASSERT_TRUE(registry.WritePu(Request("10.0.0.2", "PU-2"), &id, &code));
        EXPECT_EQ(code, 0);
        EXPECT_EQ(Camera().createPort, 80);
        EXPECT_EQ(Camera().loginUser, "admin");
        EXPECT_EQ(TestModulePrompt().runs, 0);
        EXPECT_EQ(U32At(Camera().blocks["Quor"], 8), 0xC0A8010Au);
        EXPECT_EQ(U32At(Camera().blocks["IpInfo"], 32), 0x0A000002u);

        EXPECT_TRUE(registry.DisConnect(id, &code));
        EXPECT_EQ(Camera().CountCalls("IPC_Logout"), 1);
        EXPECT_EQ(Camera().releaseCount, 0);
    }
    EXPECT_EQ(Camera().releaseCount, 1);  // destruction released the libraries
}

TEST_F(ModuleRegistryTest, V7InitFailureStillLeavesAUsableRegistry)
{
    Camera().initErr = {{"ravicore.dll", 2}};
    PuManager registry{DefaultPuProtocols(), TestModulePrompt()};
    int code = 0;
    EXPECT_FALSE(registry.Init(&code));
    EXPECT_EQ(code, 1);
    int id = 0;
    code = 1;
    EXPECT_TRUE(registry.WritePu(Request("10.0.0.1", "PU-1"), &id, &code));
}
