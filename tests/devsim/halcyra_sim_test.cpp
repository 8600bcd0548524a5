// The older-protocol library against simulated devices: logins, the group writes and
// their saving, restarts, faults and delays, as the V5 adapter drives them.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <cstring>
#include <vector>

#include "error_codes.h"
#include "halcyra_sim.h"
#include "ipv4.h"
#include "temp_store.h"

namespace devsim {
namespace {

namespace err = v5err;
constexpr char kOld[] = "192.168.1.10";
constexpr char kNew[] = "192.168.1.20";

std::uint32_t Net(const char* text)
{
    return ToNetworkOrder(*ParseIpv4(text));
}

class HalcyraSim : public ::testing::Test {
protected:
    void SetUp() override
    {
        halcyra::ResetHandles();
        store.Add(MakeDevice(kOld, Protocol::Old));
        store.Add(MakeDevice(kNew, Protocol::New, 0, "admin", "admin123"));
        store.Edit([](StoreData& d) { d.unreachable_delay_ms = 20; });
    }

    int Connect(const char* address, int port = kOldProtocolPort, const char* user = nullptr, const char* pass = nullptr)
    {
        handle = 0;
        EXPECT_EQ(ZRM_InitPu(&handle), err::kOk);
        return ZRM_ConnectPU(handle, user, pass, Net(address), port);
    }

    std::vector<std::uint8_t> Group(int group, std::size_t size)
    {
        std::vector<std::uint8_t> buf(size, 0);
        EXPECT_EQ(ZRM_GetPuParam(handle, group, 0, buf.data(), static_cast<int>(size)), err::kOk);
        return buf;
    }

    testing::TempStore store;
    int handle = 0;
};

TEST_F(HalcyraSim, OlderDeviceAcceptsEmptyLoginAndCountsIt)
{
    ASSERT_EQ(Connect(kOld), err::kOk);
    EXPECT_NE(ZRM_IsConnected(handle), 0);
    const Device device = store.Get(kOld);
    EXPECT_EQ(device.logins, 1);
    EXPECT_EQ(device.sessions, 1);
    EXPECT_EQ(ZRM_DisConnectPU(handle), err::kOk);
    EXPECT_EQ(ZRM_IsConnected(handle), 0);
    EXPECT_EQ(store.Get(kOld).sessions, 0);
    EXPECT_EQ(ZRM_DisConnectPU(handle), err::kNotConnected);
}

TEST_F(HalcyraSim, LoginsThatTheDeviceRefuses)
{
    EXPECT_EQ(Connect(kNew), err::kLoginOther);  // newer device: no older login
    EXPECT_EQ(Connect(kOld, 80), err::kConnectFailed);
    EXPECT_EQ(Connect(kOld, kOldProtocolPort, "admin", "wrong"), err::kBadCredentials);
    EXPECT_EQ(store.Get(kOld).failed_logins, 1);
    EXPECT_EQ(ZRM_IsConnected(handle), 0);
    EXPECT_EQ(ZRM_GetPuCapVal(12345, 74), err::kInvalidHandle);
}

TEST_F(HalcyraSim, AddressWithoutDeviceTimesOutAfterTheConfiguredWait)
{
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Connect("192.168.1.99"), err::kTimeout);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
}

TEST_F(HalcyraSim, WrittenGroupsCountOnlyOnceSaved)
{
    ASSERT_EQ(Connect(kOld), err::kOk);
    auto syspub = Group(2, 412);
    EXPECT_STREQ(reinterpret_cast<char*>(&syspub[282]), "GB2312,UTF-8");
    std::strcpy(reinterpret_cast<char*>(&syspub[174]), "PU-1");
    const std::uint16_t port = 9000;
    std::memcpy(&syspub[88], &port, 2);
    ASSERT_EQ(ZRM_SetPuParam(handle, 2, 0, syspub.data(), 412), err::kOk);

    EXPECT_EQ(Group(2, 412), syspub);  // the device serves what was written at once
    Device device = store.Get(kOld);
    EXPECT_EQ(device.Field("pu_id"), "");
    EXPECT_EQ(device.Field("pu_id", true), "PU-1");

    ASSERT_EQ(ZRM_SaveSettings(handle), err::kOk);
    device = store.Get(kOld);
    EXPECT_EQ(device.Field("pu_id"), "PU-1");
    EXPECT_EQ(device.Field("platform_port"), "9000");
    EXPECT_TRUE(device.pending.empty());
    EXPECT_EQ(device.saves, 1);
}

TEST_F(HalcyraSim, RestartDropsUnsavedGroupsAndEndsTheConnection)
{
    ASSERT_EQ(Connect(kOld), err::kOk);
    int other = 0;
    ASSERT_EQ(ZRM_InitPu(&other), err::kOk);
    ASSERT_EQ(ZRM_ConnectPU(other, "", "", Net(kOld), kOldProtocolPort), err::kOk);
    auto sys = Group(1, 148);
    std::strcpy(reinterpret_cast<char*>(sys.data()), "unsaved");
    ASSERT_EQ(ZRM_SetPuParam(handle, 1, 0, sys.data(), 148), err::kOk);

    ASSERT_EQ(ZRM_RebootPu(handle), err::kOk);
    const Device device = store.Get(kOld);
    EXPECT_EQ(device.restarts, 1);
    EXPECT_EQ(device.sessions, 0);
    EXPECT_EQ(device.Field("device_name", true), "IPC-10");
    EXPECT_EQ(ZRM_IsConnected(handle), 0);
    EXPECT_EQ(ZRM_IsConnected(other), 0);  // every connection ends with the restart
    EXPECT_EQ(ZRM_GetPuParam(other, 1, 0, sys.data(), 148), err::kNotConnected);
}

TEST_F(HalcyraSim, GroupArgumentsAreChecked)
{
    ASSERT_EQ(Connect(kOld), err::kOk);
    std::vector<std::uint8_t> buf(412, 0);
    EXPECT_EQ(ZRM_GetPuParam(handle, 2, 0, buf.data(), 411), err::kBadSize);
    EXPECT_EQ(ZRM_GetPuParam(handle, 99, 0, buf.data(), 412), err::kUnsupported);
    EXPECT_EQ(ZRM_GetPuParam(handle, 2, 0, nullptr, 412), err::kInternal);
    EXPECT_EQ(ZRM_GetPuCapVal(handle, 74), 1);
    EXPECT_EQ(ZRM_GetPuCapVal(handle, 75), 0);
    buf = Group(51, 252);
    EXPECT_EQ(buf[56], 0);
}

TEST_F(HalcyraSim, DeviceRefusesAnInvalidAddress)
{
    ASSERT_EQ(Connect(kOld), err::kOk);
    auto syspub = Group(2, 412);
    const std::uint32_t none = 0xFFFFFFFFu;  // inet_addr of a bad text
    std::memcpy(&syspub[72], &none, 4);
    EXPECT_EQ(ZRM_SetPuParam(handle, 2, 0, syspub.data(), 412), err::kBadRange);
    EXPECT_TRUE(store.Get(kOld).pending.empty());
    // Writing back the address it already holds is fine.
    syspub = Group(2, 412);
    EXPECT_EQ(ZRM_SetPuParam(handle, 2, 0, syspub.data(), 412), err::kOk);
}

TEST_F(HalcyraSim, FaultsAnswerInsteadOfTheCallAndDelaysTakeTime)
{
    store.Edit([](StoreData& d) {
        d.Find(kOld)->faults["ZRM_SaveSettings"] = -7;
        d.Find(kOld)->delays["ZRM_GetPuParam"] = 40;
    });
    ASSERT_EQ(Connect(kOld), err::kOk);
    const auto start = std::chrono::steady_clock::now();
    auto sys = Group(1, 148);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40));
    std::strcpy(reinterpret_cast<char*>(sys.data()), "renamed");
    ASSERT_EQ(ZRM_SetPuParam(handle, 1, 0, sys.data(), 148), err::kOk);
    EXPECT_EQ(ZRM_SaveSettings(handle), -7);
    const Device device = store.Get(kOld);
    EXPECT_EQ(device.Field("device_name"), "IPC-10");
    EXPECT_EQ(device.saves, 0);

    // A fault for the next call only answers once, then the call runs again.
    store.Edit([](StoreData& d) { d.Find(kOld)->faults_once["ZRM_SaveSettings"] = -16; });
    EXPECT_EQ(ZRM_SaveSettings(handle), -7) << "the lasting fault comes first";
    store.Edit([](StoreData& d) { d.Find(kOld)->faults.clear(); });
    EXPECT_EQ(ZRM_SaveSettings(handle), -16);
    EXPECT_EQ(ZRM_SaveSettings(handle), err::kOk);
    EXPECT_EQ(store.Get(kOld).Field("device_name"), "renamed");

    store.Edit([](StoreData& d) { d.Find(kOld)->faults["ZRM_ConnectPU"] = -86; });
    EXPECT_EQ(Connect(kOld), -86);
}

TEST_F(HalcyraSim, ASlowRestartKeepsTheConnectionUntilItAnswers)
{
    // The restart answers long after the two store reads below, however busy the machine.
    store.Edit([](StoreData& d) { d.Find(kOld)->delays["ZRM_RebootPu"] = 3000; });
    ASSERT_EQ(Connect(kOld), err::kOk);
    std::thread restart([&] { EXPECT_EQ(ZRM_RebootPu(handle), err::kOk); });
    EXPECT_EQ(ZRM_IsConnected(handle), 1) << "still up while the restart is under way";
    EXPECT_EQ(store.Get(kOld).restarts, 0) << "counted when the device answers";
    restart.join();
    EXPECT_EQ(store.Get(kOld).restarts, 1);
    EXPECT_EQ(ZRM_IsConnected(handle), 0);
}

TEST_F(HalcyraSim, DroppedLinkEndsTheConnection)
{
    ASSERT_EQ(Connect(kOld), err::kOk);
    store.Edit([](StoreData& d) { ++d.Find(kOld)->epoch; });
    EXPECT_EQ(ZRM_IsConnected(handle), 0);
    EXPECT_EQ(ZRM_SaveSettings(handle), err::kNotConnected);
}

}  // namespace
}  // namespace devsim
