// The devsim tool: commands change the store as asked, bad input gives a clear error
// and changes nothing.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "devsim_tool.h"
#include "temp_store.h"

namespace devsim {
namespace {

class DevsimTool : public ::testing::Test {
protected:
    int Run(std::vector<std::string> args)
    {
        out.str("");
        err.str("");
        Store s = store.store();
        return RunDevsimTool(args, s, out, err);
    }

    testing::TempStore store;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(DevsimTool, AddSetFaultDelayAndShow)
{
    ASSERT_EQ(Run({"add", "10.0.0.8", "--protocol", "new", "--user", "admin", "--password", "s3cret", "--name", "Gate"}),
              kToolOk)
        << err.str();
    ASSERT_EQ(Run({"set", "10.0.0.8", "platform_ip", "172.16.1.1"}), kToolOk) << err.str();
    ASSERT_EQ(Run({"fault", "10.0.0.8", "IPC_SetQuor", "230"}), kToolOk) << err.str();
    ASSERT_EQ(Run({"delay", "10.0.0.8", "IPC_Login", "250"}), kToolOk) << err.str();

    const Device device = store.Get("10.0.0.8");
    EXPECT_EQ(device.port, kNewProtocolPort);
    EXPECT_EQ(device.password, "s3cret");
    EXPECT_EQ(device.Field("device_name"), "Gate");
    EXPECT_EQ(device.Field("platform_ip"), "172.16.1.1");
    EXPECT_EQ(device.faults.at("IPC_SetQuor"), 230);
    EXPECT_EQ(device.delays.at("IPC_Login"), 250);

    ASSERT_EQ(Run({"show", "10.0.0.8"}), kToolOk);
    const std::string shown = out.str();
    EXPECT_NE(shown.find("172.16.1.1"), std::string::npos);
    EXPECT_NE(shown.find("IPC_SetQuor answers 230"), std::string::npos);
    EXPECT_EQ(shown.find("s3cret"), std::string::npos) << "the password is shown masked";

    ASSERT_EQ(Run({"fault", "10.0.0.8", "IPC_SetQuor", "clear"}), kToolOk);
    EXPECT_TRUE(store.Get("10.0.0.8").faults.empty());
}

TEST_F(DevsimTool, BadInputIsRefusedClearlyAndChangesNothing)
{
    ASSERT_EQ(Run({"add", "10.0.0.8", "--protocol", "old"}), kToolOk);
    const std::string before = SerializeStore(store.Read());
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"add", "10.0.0.300", "--protocol", "old"}, "not an IPv4 address"},
        {{"add", "10.0.0.9", "--protocol", "older"}, "protocol must be 'old' or 'new'"},
        {{"add", "10.0.0.9"}, "needs --protocol"},
        {{"add", "10.0.0.9", "--protocol", "old", "--port", "0"}, "port must be a number from 1 to 65535"},
        {{"add", "10.0.0.9", "--protocol", "old", "--port", "80x"}, "port must be"},
        {{"add", "10.0.0.9", "--protocol"}, "needs a value"},
        {{"add", "10.0.0.8", "--protocol", "old"}, "exists"},
        {{"fault", "10.0.0.8", "IPC_Login", "-3"}, "unknown call 'IPC_Login'"},
        {{"fault", "10.0.0.8", "ZRM_SaveSettings", "0"}, "other than 0"},
        {{"fault", "10.0.0.8", "ZRM_SaveSettings", "x"}, "other than 0"},
        {{"delay", "10.0.0.8", "ZRM_ConnectPU", "-1"}, "milliseconds"},
        {{"set", "10.0.0.8", "device_ip", "1.2.3"}, "not a dotted-decimal"},
        {{"set", "10.0.0.8", "colour", "red"}, "no field 'colour'"},
        {{"set", "10.0.0.8", "device_name", std::string(70, 'n')}, "at most 64 bytes"},
        {{"show", "10.0.0.7"}, "no device at 10.0.0.7"},
        {{"remove", "10.0.0.7"}, "no device"},
        {{"frobnicate"}, "unknown command"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run(c.args), kToolUsage) << c.args[0];
        EXPECT_NE(err.str().find(c.message), std::string::npos) << "got: " << err.str();
    }
    EXPECT_EQ(SerializeStore(store.Read()), before);
    EXPECT_EQ(Run({}), kToolUsage);
}

TEST_F(DevsimTool, BrokenStoreIsReportedNotOverwritten)
{
    {
        std::ofstream file(store.path());
        file << "[1.2.3.4]\nprotocol = sideways\n";
    }
    EXPECT_EQ(Run({"add", "10.0.0.8", "--protocol", "old"}), kToolFailed);
    EXPECT_NE(err.str().find("line 2"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"show"}), kToolFailed);
    std::ifstream file(store.path());
    std::stringstream kept;
    kept << file.rdbuf();
    EXPECT_EQ(kept.str(), "[1.2.3.4]\nprotocol = sideways\n");
}

TEST_F(DevsimTool, FleetHasBothProtocolsARefusingLoginAndAFault)
{
    ASSERT_EQ(Run({"fleet"}), kToolOk) << err.str();
    const StoreData data = store.Read();
    int old_count = 0, new_count = 0, faulted = 0;
    for (const auto& [address, d] : data.devices) {
        (d.protocol == Protocol::Old ? old_count : new_count)++;
        faulted += d.faults.empty() ? 0 : 1;
    }
    EXPECT_GE(old_count, 2);
    EXPECT_GE(new_count, 2);
    EXPECT_GE(faulted, 1);
    EXPECT_NE(data.devices.at("192.168.1.22").password, data.devices.at("192.168.1.20").password);
    EXPECT_EQ(Run({"fleet"}), kToolUsage);  // would replace devices silently
    EXPECT_EQ(Run({"fleet", "--replace"}), kToolOk);
}

TEST_F(DevsimTool, DropAndRemove)
{
    ASSERT_EQ(Run({"add", "10.0.0.8", "--protocol", "old"}), kToolOk);
    store.Edit([](StoreData& d) { d.Find("10.0.0.8")->sessions = 2; });
    ASSERT_EQ(Run({"drop", "10.0.0.8"}), kToolOk);
    EXPECT_EQ(store.Get("10.0.0.8").sessions, 0);
    EXPECT_EQ(store.Get("10.0.0.8").epoch, 1);
    ASSERT_EQ(Run({"remove", "10.0.0.8"}), kToolOk);
    EXPECT_TRUE(store.Read().devices.empty());
}

}  // namespace
}  // namespace devsim
