#include <gtest/gtest.h>

#include <string>
#include <vector>
#include "progress/restart_tracker.h"

namespace {

using trevanil_host::CRestartTracker;

std::string Written(const std::string& ip)
{
    return "[10:00:01]PuManager::WritePu:9 WritePu success. szPuIP-" + ip +
           ",lPuPort-5510,szPlatIP-10.2.0.9,lPlatPort-6000,puid-PU,newname-n,NewIp-" + ip + ".err:0\r\n";
}
std::string Rebooted(int id, const std::string& ip)
{
    return "[10:00:06]PuManager::ReRoot:7 ReRoot success. lPuID:" + std::to_string(id) + ",szPuIP-" + ip;
}

TEST(RestartTracker, ARowIsRestartedOnlyByARestartThatFollowsItsOwnWrite)
{
    CRestartTracker tracker;
    // Row 1 and row 3 write 10.0.0.1; the restart of row 1's write comes between them.
    tracker.OnLogLine(Written("10.0.0.1"));
    tracker.OnRowWritten(1, "10.0.0.1");
    tracker.OnLogLine(Written("10.0.0.2"));
    tracker.OnLogLine(Rebooted(1, "10.0.0.1"));
    tracker.OnRowWritten(2, "10.0.0.2");  // reported after the other device's restart: not covered by it
    EXPECT_EQ(std::vector<std::uint64_t>{1}, tracker.TakeRestarted());
    tracker.OnLogLine(Written("10.0.0.1"));
    tracker.OnLogLine("[10:00:07]PuManager::ReRoot:7 ReRoot fail. lPuID:2,szPuIP-10.0.0.2,err:9");
    // The restart line of the first write is read again by nobody; the second write waits.
    tracker.OnRowWritten(3, "10.0.0.1");
    EXPECT_TRUE(tracker.TakeRestarted().empty()) << "row 3's write came after the only restart";
    EXPECT_EQ(2u, tracker.Owed());
    EXPECT_EQ((std::vector<std::string>{"10.0.0.2", "10.0.0.1"}), tracker.AddressesOwed());

    // A restart covers every write logged before it, even one the host reports later.
    tracker.OnLogLine(Written("010.0.0.2"));
    tracker.OnLogLine(Rebooted(3, "10.0.0.2"));
    tracker.OnLogLine(Rebooted(4, "10.0.0.1"));
    EXPECT_EQ((std::vector<std::uint64_t>{2, 3}), tracker.TakeRestarted());
    tracker.OnRowWritten(4, "10.0.0.2");  // its write line was logged before the restart above
    EXPECT_EQ(std::vector<std::uint64_t>{4}, tracker.TakeRestarted());
    EXPECT_EQ(0u, tracker.Owed());
    EXPECT_TRUE(tracker.AddressesOwed().empty());
}

TEST(RestartTracker, ARestartWhoseCloseIsGivenUpLeavesItsRowsOwed)
{
    CRestartTracker tracker;
    tracker.OnLogLine(Written("10.0.0.1"));
    tracker.OnLogLine(Written("10.0.0.2"));
    tracker.OnRowWritten(1, "10.0.0.1");
    tracker.OnLogLine(Rebooted(5, "10.0.0.1"));
    tracker.OnLogLine(Rebooted(6, "10.0.0.2"));
    tracker.OnRowWritten(2, "10.0.0.2");  // reported after its restart: still that restart's
    EXPECT_EQ((std::vector<std::uint64_t>{1, 2}), tracker.TakeRestarted());
    tracker.OnLogLine("[10:00:09]ReRootThread:87 DisConnect given up. lPuID:6,err:3");
    EXPECT_EQ(std::vector<std::uint64_t>{2}, tracker.TakeGivenUp());
    tracker.OnLogLine("[10:00:09]ReRootThread:87 DisConnect given up. lPuID:6,err:3");  // told once
    tracker.OnLogLine("[10:00:09]ReRootThread:87 DisConnect given up. lPuID:9,err:3");  // no restart of ours
    EXPECT_TRUE(tracker.TakeGivenUp().empty());
}

TEST(RestartTracker, LinesOfOtherStepsAndCutLinesChangeNothing)
{
    CRestartTracker tracker;
    tracker.OnLogLine("[10:00:01]PuManager::WritePu:9 WritePu fail. szPuIP-10.0.0.9,lPuPort-5510");
    tracker.OnLogLine("[10:00:01]PuManager::TakePuOnline:7 TakePuOnline success. lPuID:1,szPuIP-10.0.0.9");
    tracker.OnLogLine("ReRoot success. lPuID:1");  // no address
    tracker.OnRowWritten(7, "10.0.0.9");
    EXPECT_TRUE(tracker.TakeRestarted().empty()) << "no write was logged, so no restart can cover the row";
    tracker.OnLogLine(Written("10.0.0.9"));
    tracker.OnLogLine(Rebooted(1, "10.0.0.9"));
    EXPECT_EQ(std::vector<std::uint64_t>{7}, tracker.TakeRestarted());
}

} // namespace
