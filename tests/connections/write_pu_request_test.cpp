#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "byte_helpers.h"
#include "pu_types.h"
#include "write_pu_request.h"

namespace {

constexpr std::uint32_t kNoAddress = 0xA5A5A5A5u;  // what a refused parse must leave in the request

int Parse(const char* puIp, std::uint32_t puPort, const char* platIp, std::uint32_t platPort, const char* newIp,
          WritePuRequest* request)
{
    return ParseWritePuRequest(puIp, puPort, platIp, platPort, "PU-1", "cam", newIp, request);
}

}  // namespace

TEST(WritePuRequest, KeepsTheTextsAndGivesEachAddressInBothByteOrders)
{
    const char* puIp = "10.0.0.1";
    const char* newIp = "010.001.000.009";  // leading zeros are decimal
    WritePuRequest request;
    ASSERT_EQ(kErrPuNone, ParseWritePuRequest(puIp, 5510, "192.168.1.10", 65535, "PU-1", "cam", newIp, &request))
        << "65535 is a port";
    EXPECT_EQ(request.szPuIP, puIp);
    EXPECT_EQ(request.szNewIp, newIp);
    EXPECT_STREQ(request.szPlatIP, "192.168.1.10");
    EXPECT_STREQ(request.szPuId, "PU-1");
    EXPECT_STREQ(request.szNewName, "cam");
    EXPECT_EQ(request.lPuPort, 5510);
    EXPECT_EQ(request.lPlatPort, 65535);
    EXPECT_EQ(request.platAddr.networkOrder, MemoryOf(192, 168, 1, 10));
    EXPECT_EQ(request.platAddr.hostOrder, 0xC0A8010Au);
    EXPECT_EQ(request.newAddr.networkOrder, MemoryOf(10, 1, 0, 9));
    EXPECT_EQ(request.newAddr.hostOrder, 0x0A010009u);

    ASSERT_EQ(kErrPuNone, ParseWritePuRequest(puIp, 0, puIp, 0, nullptr, nullptr, puIp, &request));
    EXPECT_STREQ(request.szPuId, "");
    EXPECT_STREQ(request.szNewName, "");
}

TEST(WritePuRequest, BadAddressTextsThenPortsAreRefusedWithTheirCodesAndNothingParsed)
{
    const char* good = "10.0.0.1";
    WritePuRequest request;
    request.platAddr = request.newAddr = {kNoAddress, kNoAddress};
    const auto untouched = [&] {
        return request.platAddr.networkOrder == kNoAddress && request.newAddr.networkOrder == kNoAddress &&
               std::strcmp(request.szPuIP, "") == 0;
    };
    const char* const badTexts[] = {"abc", "", "192.168.1", "10.0.0.256", "192.168.1.300", "10.0.0.1.1", nullptr};
    for (int bad = 0; bad < 3; ++bad) {
        for (const char* text : badTexts) {
            const char* texts[3] = {good, good, good};
            texts[bad] = text;
            EXPECT_EQ(kErrPuBadIpText, Parse(texts[0], 5510, texts[1], 6000, texts[2], &request))
                << bad << " " << (text ? text : "null");
            EXPECT_TRUE(untouched()) << bad;
        }
    }
    for (std::uint32_t port : {65536u, 70000u, 0xFFFFFFFFu}) {  // 0xFFFFFFFF: -1 from a script
        EXPECT_EQ(kErrPuBadSize, Parse(good, port, good, 6000, good, &request)) << port;
        EXPECT_EQ(kErrPuBadSize, Parse(good, 5510, good, port, good, &request)) << port;
        EXPECT_TRUE(untouched()) << port;
    }
    EXPECT_EQ(kErrPuBadIpText, Parse(good, 70000, "1.2.3", 70000, good, &request)) << "addresses first";
}
