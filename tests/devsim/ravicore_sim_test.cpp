// The camera library against simulated devices, with the argument shapes the module's
// forwarders pass: logins, the three settings blocks, connection state and restarts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

#include "error_codes.h"
#include "ipv4.h"
#include "ravicore_sim.h"
#include "temp_store.h"

namespace devsim {
namespace {

namespace err = v7err;
namespace rc = ravicore;
constexpr char kNew[] = "192.168.1.20";
constexpr char kOld[] = "192.168.1.10";

class RavicoreSim : public ::testing::Test {
protected:
    void SetUp() override
    {
        rc::ResetHandles();
        store.Add(MakeDevice(kNew, Protocol::New, 0, "admin", "admin123"));
        store.Add(MakeDevice(kOld, Protocol::Old));
        store.Edit([](StoreData& d) { d.unreachable_delay_ms = 10; });
    }

    // Creates a handle and logs in the way the V7 adapter does; returns the status.
    std::uint8_t Login(const char* address, const char* user = "admin", const char* pass = "admin123", int port = 80)
    {
        handle = rc::IPC_CreateHandle(*ParseIpv4(address), port, user, pass);
        error = 1;
        return rc::IPC_Login(&handle, user, pass, &error);
    }

    bool Alive()
    {
        std::uint8_t flag = 0;
        int e = 1;
        EXPECT_EQ(rc::IPC_IsConnect(handle, &flag, &e), 1);
        return flag != 0;
    }

    testing::TempStore store;
    int handle = -1;
    int error = 0;
};

TEST_F(RavicoreSim, LoginWithTheDevicesCredentials)
{
    ASSERT_EQ(Login(kNew), 1);
    EXPECT_GE(handle, 1);
    EXPECT_LE(handle, 255);
    EXPECT_EQ(error, err::kOk);
    EXPECT_TRUE(Alive());
    EXPECT_EQ(rc::IPC_AddConnectDetect(&handle, 3000, 2, nullptr, nullptr, &error), 1);
    EXPECT_EQ(store.Get(kNew).sessions, 1);
    EXPECT_EQ(rc::IPC_DelConnectDetect(&handle, &error), 1);
    EXPECT_EQ(rc::IPC_Logout(&handle, &error), 1);
    EXPECT_FALSE(Alive());
    EXPECT_EQ(store.Get(kNew).sessions, 0);
    EXPECT_EQ(store.Get(kNew).logins, 1);
}

TEST_F(RavicoreSim, RefusedLogins)
{
    EXPECT_EQ(Login(kNew, "admin", "wrong"), 0);
    EXPECT_EQ(error, err::kUserNotVerified);
    EXPECT_EQ(store.Get(kNew).failed_logins, 1);
    EXPECT_EQ(Login(kNew, "", ""), 0);
    EXPECT_EQ(error, err::kUserNotVerified);
    EXPECT_EQ(Login(kOld), 0);  // an older device does not answer the newer protocol
    EXPECT_EQ(error, err::kNoAnswer);
    EXPECT_EQ(Login(kNew, "admin", "admin123", 8080), 0);
    EXPECT_EQ(error, err::kNoAnswer);
    EXPECT_EQ(Login("192.168.1.99"), 0);
    EXPECT_EQ(error, err::kNoAnswer);
    // A handle that never logged in is refused by every device call.
    std::vector<std::uint8_t> quor(rc::kQuorSize);
    EXPECT_EQ(rc::IPC_GetQuor(&handle, quor.data(), &error), 0);
    EXPECT_EQ(error, err::kAuthIdInvalid);
    int unknown = 77;
    EXPECT_EQ(rc::IPC_Logout(&unknown, &error), 0);
    EXPECT_EQ(error, err::kBadParameter);
}

TEST_F(RavicoreSim, BlocksWrittenLikeTheAdapterPersistInTheStore)
{
    ASSERT_EQ(Login(kNew), 1);
    std::vector<std::uint8_t> quor(rc::kQuorSize, 0);
    ASSERT_EQ(rc::IPC_GetQuor(&handle, quor.data(), &error), 1);
    const std::uint16_t port = 9100;
    const std::uint32_t platform = *ParseIpv4("10.0.0.5");
    std::memcpy(&quor[4], &port, 2);
    std::memcpy(&quor[8], &platform, 4);
    std::strcpy(reinterpret_cast<char*>(&quor[12]), "34020000001320000001");
    quor[500] = 0x42;
    ASSERT_EQ(rc::IPC_SetQuor(&handle, quor.data(), &error), 1);

    std::vector<std::uint8_t> info(rc::kDeviceInfoSize, 0);
    ASSERT_EQ(rc::IPC_GetDeviceInfo(&handle, info.data(), 0, &error), 1);
    EXPECT_STREQ(reinterpret_cast<char*>(info.data()), "IPC-20");
    std::strcpy(reinterpret_cast<char*>(info.data()), u8"东门");
    ASSERT_EQ(rc::IPC_SetDeviceInfo(&handle, info.data(), 0, &error), 1);

    const Device device = store.Get(kNew);
    EXPECT_EQ(device.Field("platform_port"), "9100");
    EXPECT_EQ(device.Field("platform_ip"), "10.0.0.5");
    EXPECT_EQ(device.Field("pu_id"), "34020000001320000001");
    EXPECT_EQ(device.Field("device_name"), u8"东门");
    EXPECT_EQ(device.blocks.at("quor")[500], 0x42);  // untouched bytes pass through
}

TEST_F(RavicoreSim, IpBlockHandsOutTwoFieldsInNetworkOrderAndTakesThemInHostOrder)
{
    ASSERT_EQ(Login(kNew), 1);
    std::vector<std::uint8_t> ip(rc::kIpInfoSize, 0);
    ASSERT_EQ(rc::IPC_GetIpInfo(&handle, ip.data(), static_cast<int>(ip.size()), &error), 1);
    std::uint32_t mask_in_block;
    std::memcpy(&mask_in_block, &ip[24], 4);
    EXPECT_EQ(FromNetworkOrder(mask_in_block), 0xFFFFFF00u);
    // What the adapter does: convert both with ntohl, put the new address at 32.
    for (std::size_t offset : {24u, 28u}) {
        std::uint32_t value;
        std::memcpy(&value, &ip[offset], 4);
        value = FromNetworkOrder(value);
        std::memcpy(&ip[offset], &value, 4);
    }
    const std::uint32_t new_ip = *ParseIpv4("192.168.1.77");
    std::memcpy(&ip[32], &new_ip, 4);
    ASSERT_EQ(rc::IPC_SetIpInfo(&handle, ip.data(), static_cast<int>(ip.size()), &error), 1);

    const Device device = store.Get(kNew);
    EXPECT_EQ(device.Field("device_ip"), "192.168.1.77");
    EXPECT_EQ(device.Field("netmask"), "255.255.255.0");
    EXPECT_EQ(device.Field("gateway"), "192.168.1.1");
}

TEST_F(RavicoreSim, BlockSizesAndInvalidAddressesAreRefused)
{
    ASSERT_EQ(Login(kNew), 1);
    std::vector<std::uint8_t> ip(rc::kIpInfoSize, 0);
    EXPECT_EQ(rc::IPC_GetIpInfo(&handle, ip.data(), 1865, &error), 0);
    EXPECT_EQ(error, err::kBadParameter);
    EXPECT_EQ(rc::IPC_GetIpInfo(&handle, ip.data(), 0, &error), 0);
    std::vector<std::uint8_t> info(rc::kDeviceInfoSize, 0);
    EXPECT_EQ(rc::IPC_GetDeviceInfo(&handle, info.data(), 100, &error), 0);
    EXPECT_EQ(rc::IPC_GetQuor(&handle, nullptr, &error), 0);

    ASSERT_EQ(rc::IPC_GetIpInfo(&handle, ip.data(), static_cast<int>(ip.size()), &error), 1);
    const std::uint32_t none = 0xFFFFFFFFu;
    std::memcpy(&ip[32], &none, 4);
    EXPECT_EQ(rc::IPC_SetIpInfo(&handle, ip.data(), static_cast<int>(ip.size()), &error), 0);
    EXPECT_EQ(error, err::kIpAddressFormat);
    EXPECT_EQ(store.Get(kNew).Field("device_ip"), kNew);
}

TEST_F(RavicoreSim, RestartIsCountedAndEndsTheSession)
{
    ASSERT_EQ(Login(kNew), 1);
    ASSERT_EQ(rc::IPC_SystemReboot(&handle, &error), 1);
    EXPECT_EQ(store.Get(kNew).restarts, 1);
    EXPECT_EQ(store.Get(kNew).sessions, 0);
    EXPECT_FALSE(Alive());
    EXPECT_EQ(rc::IPC_Logout(&handle, &error), 0);
    ASSERT_EQ(Login(kNew), 1);  // and the device takes logins again
    EXPECT_TRUE(Alive());
}

TEST_F(RavicoreSim, FaultsAnswerWithTheirErrorValue)
{
    store.Edit([](StoreData& d) {
        d.Find(kNew)->faults["IPC_SetIpInfo"] = 229;
        d.Find(kNew)->faults["IPC_IsConnect"] = 150;
    });
    ASSERT_EQ(Login(kNew), 1);
    std::vector<std::uint8_t> ip(rc::kIpInfoSize, 0);
    ASSERT_EQ(rc::IPC_GetIpInfo(&handle, ip.data(), static_cast<int>(ip.size()), &error), 1);
    EXPECT_EQ(rc::IPC_SetIpInfo(&handle, ip.data(), static_cast<int>(ip.size()), &error), 0);
    EXPECT_EQ(error, 229);
    std::uint8_t flag = 7;
    EXPECT_EQ(rc::IPC_IsConnect(handle, &flag, &error), 0);
    EXPECT_EQ(error, 150);
    EXPECT_EQ(flag, 7);
}

TEST_F(RavicoreSim, HandlesAreReusedOnceNoLongerLoggedIn)
{
    // The adapter never destroys handles: 300 failed logins must not exhaust them.
    for (int i = 0; i < 300; ++i) {
        handle = rc::IPC_CreateHandle(*ParseIpv4(kNew), 80, "admin", "x");
        ASSERT_NE(handle, 0) << i;
    }
    ASSERT_EQ(Login(kNew), 1);
    const int logged_in = handle;
    for (int i = 0; i < 300; ++i) ASSERT_NE(rc::IPC_CreateHandle(*ParseIpv4(kNew), 80, "a", "b"), logged_in);
}

TEST_F(RavicoreSim, ThreadsLoggingInAtOnceAreAllCounted)
{
    constexpr int kThreads = 4;
    std::vector<std::thread> threads;
    std::vector<int> ok(kThreads, 0);
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            int h = rc::IPC_CreateHandle(*ParseIpv4(kNew), 80, "admin", "admin123");
            int e = 1;
            ok[t] = rc::IPC_Login(&h, "admin", "admin123", &e) == 1 && rc::IPC_Logout(&h, &e) == 1;
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(std::count(ok.begin(), ok.end(), 1), kThreads);
    const Device device = store.Get(kNew);
    EXPECT_EQ(device.logins, kThreads);
    EXPECT_EQ(device.sessions, 0);
}

TEST_F(RavicoreSim, LibrarySetUpAndVersion)
{
    int e = 0;
    EXPECT_EQ(rc::IPC_InitDll(3300, 0, &e), 1);
    EXPECT_EQ(e, 1);
    std::uint32_t version = 0;
    EXPECT_EQ(rc::IPC_GetVersion(&version, &e), 1);
    EXPECT_EQ(version, rc::kVersion);
    EXPECT_EQ(rc::IPC_GetVersion(nullptr, &e), 0);
    e = 0;
    EXPECT_EQ(rc::IPC_ReleaseDll(&e), 1);
    EXPECT_EQ(e, 1);
}

}  // namespace
}  // namespace devsim
