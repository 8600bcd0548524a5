// The module's registry with its real adapters against simulated devices: what a
// device holds after a write, a restart and a disconnect.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "device.h"
#include "fake_login_prompt.h"
#include "halcyra_sim.h"
#include "pu_manager.h"
#include "pu_protocols.h"
#include "ravicore_sim.h"
#include "recording_log.h"
#include "store.h"
#include "write_pu_request.h"

namespace {

class DevsimRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        storePath = "/tmp/orvex-conn-devsim-" + std::to_string(::getpid()) + ".ini";
        std::remove(storePath.c_str());
        ::setenv(devsim::kStoreEnvVar, storePath.c_str(), 1);
        devsim::halcyra::ResetHandles();
        devsim::ravicore::ResetHandles();
        ClearRecordedLog();
        TestModulePrompt().answer = 2;  // nobody is there to type a login
        std::string error;
        ASSERT_TRUE(devsim::Store(storePath).Update(
            [](devsim::StoreData& data) {
                data.unreachable_delay_ms = 0;
                data.devices["10.1.0.1"] = devsim::MakeDevice("10.1.0.1", devsim::Protocol::Old);
                data.devices["10.1.0.2"] =
                    devsim::MakeDevice("10.1.0.2", devsim::Protocol::New, 0, "admin", "pw");
                return true;
            },
            error))
            << error;
        int code = 0;
        ASSERT_TRUE(registry.Init(&code)) << code;
    }

    void TearDown() override
    {
        std::remove(storePath.c_str());
        std::remove((storePath + ".lock").c_str());
    }

    devsim::Device Device(const char* address)
    {
        devsim::StoreData data;
        std::string error;
        EXPECT_TRUE(devsim::Store(storePath).Read(data, error)) << error;
        return *data.Find(address);
    }

    // As the control writes: the arguments are parsed first, and a refused one reaches no device.
    bool Write(const char* ip, int* id, int* code, const char* newIp = nullptr, std::uint32_t* ticket = nullptr)
    {
        WritePuRequest request;
        if (const int refused =
                ParseWritePuRequest(ip, 5510, "192.168.5.5", 9100, "PU-77", "lobby", newIp ? newIp : ip, &request)) {
            *code = refused;
            return false;
        }
        return registry.WritePu(request, id, code, ticket);
    }

    std::string storePath;
    PuManager registry{DefaultPuProtocols(), TestModulePrompt()};
};

}  // namespace

TEST_F(DevsimRegistryTest, OlderProtocolDeviceIsRegisteredRestartedAndClosed)
{
    int id = 0, code = 1;
    std::uint32_t ticket = 0;
    ASSERT_TRUE(Write("10.1.0.1", &id, &code, nullptr, &ticket)) << code;
    devsim::Device device = Device("10.1.0.1");
    EXPECT_EQ(device.Field("platform_ip"), "192.168.5.5");
    EXPECT_EQ(device.Field("nms_platform_ip"), "192.168.5.5");
    EXPECT_EQ(device.Field("platform_port"), "9100");
    EXPECT_EQ(device.Field("pu_id"), "PU-77");
    EXPECT_EQ(device.Field("pu_id2"), "PU-77");
    EXPECT_EQ(device.Field("device_name"), "lobby");
    EXPECT_EQ(device.Field("device_ip"), "10.1.0.1");
    EXPECT_EQ(device.saves, 1);

    ASSERT_EQ(registry.TakePuOnline(id, ticket), PuManager::RestartTake::Taken);
    EXPECT_TRUE(registry.ReRoot(id, &code));
    EXPECT_TRUE(registry.CloseRestarted(id, &code));
    EXPECT_EQ(Device("10.1.0.1").restarts, 1);
    EXPECT_FALSE(registry.SetPuOnline(id));
}

TEST_F(DevsimRegistryTest, NewerProtocolDeviceTakesTheStoredLogin)
{
    registry.SetLoginInfo("admin", "pw");
    int id = 0, code = 1;
    ASSERT_TRUE(Write("10.1.0.2", &id, &code)) << code;
    devsim::Device device = Device("10.1.0.2");
    EXPECT_EQ(device.Field("platform_ip"), "192.168.5.5");
    EXPECT_EQ(device.Field("platform_port"), "9100");
    EXPECT_EQ(device.Field("pu_id"), "PU-77");
    EXPECT_EQ(device.Field("device_name"), "lobby");
    EXPECT_EQ(device.Field("device_ip"), "10.1.0.2");
    EXPECT_EQ(device.logins, 1);
    EXPECT_TRUE(registry.ReRoot(id, &code));
    EXPECT_TRUE(registry.DisConnect(id, &code));
    EXPECT_EQ(Device("10.1.0.2").restarts, 1);
}

TEST_F(DevsimRegistryTest, WrongPasswordIsRefusedAndNeverLogged)
{
    registry.SetLoginInfo("admin", "guess");
    int id = 0, code = 1;
    EXPECT_FALSE(Write("10.1.0.2", &id, &code));
    EXPECT_NE(code, 0);
    EXPECT_EQ(Device("10.1.0.2").failed_logins, 1);
    EXPECT_EQ(WholeLog().find("guess"), std::string::npos);
}

TEST_F(DevsimRegistryTest, BadNewAddressLeavesTheDeviceAsItWas)
{
    const std::string before = Device("10.1.0.1").Field("platform_ip");
    int id = 0, code = 1;
    EXPECT_FALSE(Write("10.1.0.1", &id, &code, "10.1.0"));
    EXPECT_EQ(code, 72);
    EXPECT_EQ(Device("10.1.0.1").Field("platform_ip"), before);
    EXPECT_EQ(Device("10.1.0.1").Field("device_ip"), "10.1.0.1");
    EXPECT_EQ(Device("10.1.0.1").logins, 0) << "refused before any login";
}
