#include <gtest/gtest.h>

#include <string>
#include <vector>
#include "restart_log.h"

namespace {

std::string Written(const std::string& ip)
{
    return "[10:00:01]PuManager::WritePu:9 WritePu success. szPuIP-" + ip +
           ",lPuPort-5510,szPlatIP-10.2.0.9,lPlatPort-6000,puid-PU,newname-n,NewIp-" + ip + ".err:0\r\n";
}
std::string Restarted(int id, const std::string& ip)
{
    return "[10:00:06]PuManager::TakePuOnline:7 TakePuOnline success. lPuID:" + std::to_string(id) + ",szPuIP-" +
           ip + "\r\n";
}

TEST(DevicesNotRestarted, WritesWithoutARestartAreNamedOnceInTheOrderWritten)
{
    const std::string log = Written("10.0.0.2") + Written("10.0.0.1") + Restarted(1, "10.0.0.2") +
                            Written("10.0.0.3") + Written("10.0.0.1") + Restarted(2, "10.0.0.1") +
                            "[10:00:07]PuManager::WritePu:9 WritePu fail. szPuIP-10.0.0.9,lPuPort-5510\r\n" +
                            Restarted(5, "10.0.0.7");  // a device of another run
    EXPECT_EQ((std::vector<std::string>{"10.0.0.1", "10.0.0.3"}), DevicesNotRestarted(log))
        << "10.0.0.1 was written twice and restarted once";
    EXPECT_TRUE(DevicesNotRestarted(Written("10.0.0.4") + Restarted(3, "10.0.0.4")).empty());
    EXPECT_TRUE(DevicesNotRestarted("").empty());
    // A cut last line still names its device.
    EXPECT_EQ(std::vector<std::string>{"10.0.0.5"}, DevicesNotRestarted("WritePu success. szPuIP-10.0.0.5"));
}

}  // namespace
