// The store's text form: round trips, hand edits, and clear errors on broken files.
#include <gtest/gtest.h>

#include "ipv4.h"
#include "store_format.h"
#include "text_codec.h"

namespace devsim {
namespace {

StoreData SampleStore()
{
    StoreData data;
    data.unreachable_delay_ms = 75;
    Device old_device = MakeDevice("192.168.1.10", Protocol::Old);
    std::string error;
    EXPECT_TRUE(old_device.SetField("pu_id", "PU-00042", error));
    EXPECT_TRUE(old_device.SetField("device_name", u8"大门 camera", error));
    old_device.blocks["syspub"][400] = 0x5A;  // a byte no named field covers
    old_device.pending["sys"] = old_device.blocks["sys"];
    old_device.pending["sys"][1] = 'X';
    old_device.faults["ZRM_SaveSettings"] = -7;
    old_device.faults_once["ZRM_DisConnectPU"] = -5;
    old_device.delays["ZRM_ConnectPU"] = 30;
    old_device.restarts = 3;
    old_device.cap74 = 0;
    Device new_device = MakeDevice("10.1.2.3", Protocol::New, 8080, "admin", " pass\\word\n ");
    EXPECT_TRUE(new_device.SetField("platform_ip", "172.16.0.9", error));
    new_device.sessions = 2;
    data.devices[old_device.address] = old_device;
    data.devices[new_device.address] = new_device;
    return data;
}

TEST(StoreFormat, RoundTripKeepsEveryByteAndSetting)
{
    const StoreData before = SampleStore();
    StoreData after;
    std::string error;
    ASSERT_TRUE(ParseStore(SerializeStore(before), after, error)) << error;

    EXPECT_EQ(after.unreachable_delay_ms, 75);
    ASSERT_EQ(after.devices.size(), 2u);
    for (const auto& [address, want] : before.devices) {
        const Device& got = after.devices.at(address);
        EXPECT_EQ(got.protocol, want.protocol);
        EXPECT_EQ(got.port, want.port);
        EXPECT_EQ(got.user, want.user);
        EXPECT_EQ(got.password, want.password);
        EXPECT_EQ(got.cap74, want.cap74);
        EXPECT_EQ(got.blocks, want.blocks);
        EXPECT_EQ(got.pending, want.pending);
        EXPECT_EQ(got.faults, want.faults);
        EXPECT_EQ(got.faults_once, want.faults_once);
        EXPECT_EQ(got.delays, want.delays);
        EXPECT_EQ(got.restarts, want.restarts);
        EXPECT_EQ(got.sessions, want.sessions);
    }
    EXPECT_EQ(after.devices.at("192.168.1.10").Field("device_name"), u8"大门 camera");
}

TEST(StoreFormat, NamedFieldEditedByHandWinsOverRawBytes)
{
    std::string text = SerializeStore(SampleStore());
    const std::string from = "pu_id = PU-00042\n";
    text.replace(text.find(from), from.size(), "pu_id = PU-77\n");
    StoreData data;
    std::string error;
    ASSERT_TRUE(ParseStore(text, data, error)) << error;
    const Device& device = data.devices.at("192.168.1.10");
    EXPECT_EQ(device.Field("pu_id"), "PU-77");
    EXPECT_EQ(device.blocks.at("syspub")[400], 0x5A);  // the rest of the raw bytes stays
}

TEST(StoreFormat, HandWrittenSectionGetsFactoryContentUnderTheAddressLookedUp)
{
    StoreData data;
    std::string error;
    // The libraries look a device up by its address as "%u.%u.%u.%u": leading zeros go.
    ASSERT_TRUE(ParseStore("[192.168.007.07]\nprotocol = new\npassword = pw\nplatform_port = 9000\n", data, error))
        << error;
    ASSERT_EQ(data.devices.size(), 1u);
    const Device& device = data.devices.at("192.168.7.7");
    EXPECT_EQ(device.address, "192.168.7.7");
    EXPECT_EQ(device.port, kNewProtocolPort);
    EXPECT_EQ(device.Field("platform_port"), "9000");
    EXPECT_EQ(device.Field("device_ip"), "192.168.7.7");
    EXPECT_EQ(device.Field("model"), "RC-IPC-7120");
}

TEST(StoreFormat, BrokenTextIsRefusedWithItsLine)
{
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"[1.2.3.4]\nprotocol = old\nport = 70000\n", "line 3"},
        {"[1.2.3.4]\nprotocol = odd\n", "line 2"},
        {"[1.2.3]\nprotocol = old\n", "not an IPv4 address"},
        {"[1.2.3.4]\nport = 5510\n", "has no protocol"},
        {"[1.2.3.4]\nprotocol = old\nraw.syspub = zz\n", "bad hex"},
        {"[1.2.3.4]\nprotocol = old\nfault.IPC_Login = 5\n", "unknown call"},
        {"[1.2.3.4]\nprotocol = old\ncolour = red\n", "unknown key"},
        {"[1.2.3.4]\nprotocol = old\ndevice_ip = 1.2.3\n", "not a dotted-decimal"},
        {"[1.2.3.4]\nprotocol = old\n[1.2.3.4]\nprotocol = old\n", "appears twice"},
        {"[1.2.3.4]\nprotocol = old\n[001.2.3.04]\nprotocol = new\n", "line 3: device 1.2.3.4 appears twice"},
        {"key = value\n", "outside any section"},
        {"[1.2.3.4\n", "without ']'"},
        {"[1.2.3.4]\nprotocol = old\nuser = a\\q\n", "bad key or escape"},
    };
    for (const auto& c : cases) {
        StoreData data;
        std::string error;
        EXPECT_FALSE(ParseStore(c.text, data, error)) << c.text;
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.text << " gave: " << error;
    }
}

TEST(StoreFormat, EscapesSurviveRoundTrip)
{
    for (const std::string& raw : {std::string(""), std::string("  edge  "), std::string("a\\b\tc\r\nd"),
                                  std::string("\x01\x7f", 2), std::string(u8"名字")}) {
        const std::string escaped = EscapeValue(raw);
        EXPECT_EQ(escaped.find('\n'), std::string::npos);
        EXPECT_EQ(UnescapeValue(escaped), raw);
    }
    EXPECT_FALSE(UnescapeValue("\\x4"));
    EXPECT_FALSE(UnescapeValue("trailing\\"));
}

TEST(StoreFormat, HexLeavesOutTrailingZerosAndRefusesOverflow)
{
    EXPECT_EQ(ToHex(Bytes{0xAB, 0, 1, 0, 0}), "ab0001");
    EXPECT_EQ(FromHex("ab0001", 5), (Bytes{0xAB, 0, 1, 0, 0}));
    EXPECT_FALSE(FromHex("ababab", 2));
    EXPECT_FALSE(FromHex("abc", 4));
}

TEST(Ipv4, StrictParsingAndBothByteOrders)
{
    EXPECT_EQ(ParseIpv4("192.168.1.10"), 0xC0A8010Au);
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.4 ", " 1.2.3.4", "1..2.3", "0001.2.3.4", "a.b.c.d"})
        EXPECT_FALSE(ParseIpv4(bad)) << bad;
    const std::uint32_t network = ToNetworkOrder(0xC0A8010Au);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&network);
    EXPECT_EQ(bytes[0], 192);
    EXPECT_EQ(bytes[3], 10);
    EXPECT_EQ(FromNetworkOrder(network), 0xC0A8010Au);
}

}  // namespace
}  // namespace devsim
