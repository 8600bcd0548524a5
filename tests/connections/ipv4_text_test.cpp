#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "byte_helpers.h"
#include "ipv4_text.h"

TEST(Ipv4Text, DottedDecimalGivesTheAddressInNetworkOrder)
{
    EXPECT_EQ(ParseIpv4NetworkOrder("192.168.1.20"), MemoryOf(192, 168, 1, 20));
    EXPECT_EQ(ParseIpv4NetworkOrder("0.0.0.0"), MemoryOf(0, 0, 0, 0));
    EXPECT_EQ(ParseIpv4NetworkOrder("255.255.255.255"), MemoryOf(255, 255, 255, 255));
    EXPECT_EQ(InetAddr("10.0.0.1"), MemoryOf(10, 0, 0, 1));
}

TEST(Ipv4Text, LeadingZerosStayDecimal)
{
    // As an operator means it; inet_addr would read "010" as octal 8.
    EXPECT_EQ(ParseIpv4NetworkOrder("010.001.000.009"), MemoryOf(10, 1, 0, 9));
    EXPECT_EQ(InetAddr("010.001.0.9"), MemoryOf(10, 1, 0, 9));
}

TEST(Ipv4Text, AnythingElseIsRefused)
{
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.-4", " 1.2.3.4", "1.2.3.4 ",
                            "1..3.4", "a.b.c.d", "1.2.3.4x", "0001.2.3.4", "1,2,3,4", "0x1.2.3.4"}) {
        EXPECT_FALSE(ParseIpv4NetworkOrder(bad).has_value()) << bad;
        EXPECT_EQ(InetAddr(bad), kInAddrNone) << bad;
    }
    EXPECT_FALSE(ParseIpv4NetworkOrder(nullptr).has_value());
}

TEST(Ipv4Text, ByteOrderConversionsPutTheFirstPartHighInHostOrder)
{
    std::uint32_t network = MemoryOf(192, 168, 1, 20);
    EXPECT_EQ(NetworkToHost32(network), 0xC0A80114u);
    EXPECT_EQ(HostToNetwork32(0xC0A80114u), network);
    EXPECT_EQ(NetworkToHost32(HostToNetwork32(0x01020304u)), 0x01020304u);
}
