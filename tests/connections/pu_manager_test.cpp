#include <string>

#include "registry_fixture.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

bool Contains(const std::vector<std::string>& lines, const std::string& text)
{
    for (const std::string& line : lines)
        if (line == text) return true;
    return false;
}

}  // namespace

TEST_F(RegistryTest, IdsRunFromOneAndAreNeverReused)
{
    EXPECT_EQ(ConnectTo("10.0.0.1"), 1);
    EXPECT_EQ(ConnectTo("10.0.0.2"), 2);
    int code = 0;
    ASSERT_TRUE(registry->DisConnect(2, &code));
    EXPECT_EQ(ConnectTo("10.0.0.2"), 3);  // 2 is gone and not handed out again
}

TEST_F(RegistryTest, ReconnectionToSameAddressReplacesTheRecord)
{
    ASSERT_EQ(ConnectTo("10.0.0.1"), 1);
    ASSERT_EQ(ConnectTo("10.0.0.1"), 2);
    EXPECT_FALSE(registry->SetPuOnline(1));
    EXPECT_TRUE(registry->SetPuOnline(2));
    int code = 0;
    EXPECT_FALSE(registry->DisConnect(1, &code));
    EXPECT_EQ(code, 45);
}

TEST_F(RegistryTest, AddressesAreComparedByteForByte)
{
    ASSERT_EQ(ConnectTo("10.0.0.1"), 1);
    ASSERT_EQ(ConnectTo("10.0.0.01"), 2);  // another spelling is another device
    EXPECT_TRUE(registry->SetPuOnline(1));
    EXPECT_TRUE(registry->SetPuOnline(2));
}

TEST_F(RegistryTest, OlderProtocolIsTriedFirstWithoutCredentialsOnTheCallersPort)
{
    v5->connetResult = true;
    v5->connetCode = 0;
    int id = 0, code = 7;
    ASSERT_TRUE(registry->Connect(&id, "10.0.0.1", 5510, &code));
    EXPECT_EQ(code, 0);
    auto calls = v5->Connets();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].ip, "10.0.0.1");
    EXPECT_EQ(calls[0].port, 5510);
    EXPECT_EQ(calls[0].user, "");
    EXPECT_EQ(calls[0].pass, "");
    EXPECT_TRUE(v7->Connets().empty());
    EXPECT_EQ(prompt.runs, 0);
    EXPECT_TRUE(Contains(LoggedMessages("PuManager::Connect"), "login success.ip:10.0.0.1, emPutype:1,lPuHandle-100"));
}

TEST_F(RegistryTest, OlderLoginThatLeavesACodeFallsBackToTheNewerProtocol)
{
    v5->connetResult = true;  // "succeeded" but left a code
    v5->connetCode = 3;
    EXPECT_EQ(ConnectTo("10.0.0.1"), 1);
    EXPECT_EQ(v7->Connets().size(), 1u);
}

TEST_F(RegistryTest, StoredLoginIsUsedOnceOnPort80WhateverPortWasGiven)
{
    registry->SetLoginInfo("operator", "pw1");
    int id = 0, code = 1;
    ASSERT_TRUE(registry->Connect(&id, "10.0.0.1", 5510, &code));
    EXPECT_EQ(code, 0);
    auto calls = v7->Connets();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].port, 80);
    EXPECT_EQ(calls[0].user, "operator");
    EXPECT_EQ(calls[0].pass, "pw1");
    EXPECT_EQ(prompt.runs, 0);
    auto lines = LoggedMessages("PuManager::Connect");
    EXPECT_TRUE(Contains(lines, "v7 connnect.ip:10.0.0.1, port:5510"));
    EXPECT_TRUE(Contains(lines, "v7 batch connnect.ip:10.0.0.1, port:5510"));
    EXPECT_TRUE(Contains(lines, "login success.ip:10.0.0.1, emPutype:2,lPuHandle-200"));

    // The login mode is back at 1: the next newer-protocol login asks the operator.
    ASSERT_TRUE(registry->Connect(&id, "10.0.0.2", 5510, &code));
    EXPECT_EQ(prompt.runs, 1);
}

TEST_F(RegistryTest, LoginModeReturnsToInteractiveEvenWhenTheStoredLoginFails)
{
    v7->connetResult = false;
    v7->connetCode = 41;
    registry->SetLoginInfo("operator", "wrong");
    int id = -1, code = 1;
    EXPECT_FALSE(registry->Connect(&id, "10.0.0.1", 5510, &code));
    EXPECT_EQ(code, 41);
    EXPECT_EQ(id, -1);
    EXPECT_EQ(prompt.runs, 0);
    EXPECT_FALSE(registry->Connect(&id, "10.0.0.1", 5510, &code));
    EXPECT_EQ(prompt.runs, 1);
    // The failed login is logged with the user name; the password never appears.
    EXPECT_TRUE(Contains(LoggedMessages("PuManager::Connect"),
                         "login fail.ip:10.0.0.1, port:80, name:operator, pass:***"));
    EXPECT_THAT(WholeLog(), Not(HasSubstr("wrong")));
}

TEST_F(RegistryTest, DialogLoginUsesTheTypedValuesConvertedToUtf8)
{
    prompt.userName = u"\u00c4dmin";
    prompt.password = u"p\u00e4ss";
    prompt.port = 8081;
    ASSERT_EQ(ConnectTo("10.0.0.1"), 1);
    EXPECT_EQ(prompt.runs, 1);
    auto calls = v7->Connets();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].user, "\xC3\x84" "dmin");
    EXPECT_EQ(calls[0].pass, "p\xC3\xA4ss");
    EXPECT_EQ(calls[0].port, 8081);
}

TEST_F(RegistryTest, DialogTextsThatDoNotFitReachTheAdapterEmpty)
{
    prompt.userName = std::u16string(128, u'u');  // 128 bytes + terminator > 128
    ASSERT_EQ(ConnectTo("10.0.0.1"), 1);
    EXPECT_EQ(v7->Connets().at(0).user, "");
    EXPECT_EQ(v7->Connets().at(0).pass, "secret");
}

TEST_F(RegistryTest, CancellingTheDialogReturnsTheOlderProtocolsCode)
{
    prompt.answer = 2;
    int id = -1, code = 1;
    EXPECT_FALSE(registry->Connect(&id, "10.0.0.1", 5510, &code));
    EXPECT_EQ(code, 28);
    EXPECT_EQ(id, -1);
    EXPECT_TRUE(v7->Connets().empty());
    EXPECT_TRUE(Contains(LoggedMessages("PuManager::Connect"), "cancel login."));
    EXPECT_FALSE(registry->SetPuOnline(1));
}

TEST_F(RegistryTest, NewerLoginThatSucceedsWithACodeIsLoggedAndRegistered)
{
    v7->connetCode = 9;  // true, but a code was left
    int id = 0, code = 1;
    EXPECT_TRUE(registry->Connect(&id, "10.0.0.1", 5510, &code));
    EXPECT_EQ(code, 9);
    EXPECT_EQ(id, 1);
    EXPECT_TRUE(Contains(LoggedMessages("PuManager::Connect"),
                         "login fail.ip:10.0.0.1, port:8080, name:admin, pass:***"));
}

TEST_F(RegistryTest, LongLoginNamesAreCutToTheLogBuffer)
{
    std::string longName(127, 'n');
    registry->SetLoginInfo(longName.c_str(), "");
    v7->connetResult = false;
    v7->connetCode = 41;
    EXPECT_EQ(ConnectTo("10.0.0.1"), 0);
    for (const std::string& line : LoggedMessages("PuManager::Connect")) EXPECT_LE(line.size(), 127u);
    auto setLines = LoggedMessages("PuManager::SetLoginInfo");
    ASSERT_EQ(setLines.size(), 1u);
    EXPECT_EQ(setLines[0], "SetLoginInfo start. lPuID:0,name-" + longName + ".pass-");
}

TEST_F(RegistryTest, WritePuConnectsWritesAndReportsTheId)
{
    int id = -1, code = 1;
    ASSERT_TRUE(Write("10.0.0.1", &id, &code));
    EXPECT_EQ(id, 1);
    EXPECT_EQ(code, 0);
    ASSERT_EQ(v7->writeArgs.size(), 1u);
    EXPECT_EQ(v7->writeArgs[0], "10.0.0.1|5510|192.168.1.10|9000|PU-0001|cam|10.0.0.1");
    EXPECT_EQ(v7->writeHandles[0], 200);
    EXPECT_TRUE(Contains(LoggedMessages("PuManager::WritePu"),
                         "WritePu success. szPuIP-10.0.0.1,lPuPort-5510,szPlatIP-192.168.1.10,lPlatPort-9000,"
                         "puid-PU-0001,newname-cam,NewIp-10.0.0.1.err:0"));
}

TEST_F(RegistryTest, WritePuReusesALiveConnectionWithoutNewLogin)
{
    int id = -1, code = 1;
    ASSERT_TRUE(Write("10.0.0.1", &id, &code));
    int again = -1;
    code = 1;  // the control presets 1
    ASSERT_TRUE(Write("10.0.0.1", &again, &code));
    EXPECT_EQ(again, id);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(v7->Connets().size(), 1u);
    EXPECT_EQ(prompt.runs, 1);
    EXPECT_EQ(v7->writeCalls, 2);
}

TEST_F(RegistryTest, WritePuReconnectsADeadConnectionUnderANewId)
{
    int id = -1, code = 1;
    ASSERT_TRUE(Write("10.0.0.1", &id, &code));
    v7->connected = false;
    ASSERT_TRUE(Write("10.0.0.1", &id, &code));
    EXPECT_EQ(id, 2);
    EXPECT_EQ(v7->Connets().size(), 2u);
    EXPECT_FALSE(registry->SetPuOnline(1));
    EXPECT_EQ(v7->writeHandles.back(), 201);
}

TEST_F(RegistryTest, WritePuThatCannotConnectRegistersNothing)
{
    v7->connetResult = false;
    v7->connetCode = 41;
    int id = -1, code = 1;
    EXPECT_FALSE(Write("10.0.0.1", &id, &code));
    EXPECT_EQ(code, 41);
    EXPECT_EQ(v7->writeCalls, 0);
    EXPECT_TRUE(Contains(LoggedMessages("PuManager::WritePu"), "Connect fail. szPuIP-10.0.0.1,lPuPort-5510.err:41"));
}

TEST_F(RegistryTest, AdapterWriteFailureKeepsTheConnection)
{
    v7->writeResult = false;
    v7->writeCode = 72;
    int id = -1, code = 1;
    EXPECT_FALSE(Write("10.0.0.1", &id, &code));
    EXPECT_EQ(code, 72);
    EXPECT_EQ(id, 1);
    EXPECT_TRUE(registry->SetPuOnline(1));
    EXPECT_TRUE(Contains(LoggedMessages("PuManager::WritePu"),
                         "WritePu fail. szPuIP-10.0.0.1,lPuPort-5510,szPlatIP-192.168.1.10,lPlatPort-9000,"
                         "puid-PU-0001,newname-cam,NewIp-10.0.0.1.err:72"));
}

TEST_F(RegistryTest, WritePuResultLinesAreCutToTheirBuffer)
{
    std::string name(63, 'x'), puid(32, '9');
    int id = 0, code = 1;
    ASSERT_TRUE(registry->WritePu(GoodRequest("100.100.100.100", 5510, "200.200.200.200", 65535, puid.c_str(),
                                              name.c_str(), "100.100.100.101"),
                                  &id, &code));
    for (const std::string& line : LoggedMessages("PuManager::WritePu")) EXPECT_LE(line.size(), 255u);
}

TEST_F(RegistryTest, DisConnectDropsTheRecordOnlyWhenTheAdapterClosedIt)
{
    int code = 0;
    EXPECT_FALSE(registry->DisConnect(9, &code));
    EXPECT_EQ(code, 45);
    EXPECT_TRUE(Contains(LoggedMessages("PuManager::DisConnect"), "GetPuByPuId fail. lPuID:9"));

    ASSERT_EQ(ConnectTo("10.0.0.1"), 1);
    v7->disconnectResult = false;
    v7->disconnectCode = 62;
    code = 1;
    EXPECT_FALSE(registry->DisConnect(1, &code));
    EXPECT_EQ(code, 62);
    EXPECT_TRUE(registry->SetPuOnline(1));  // still there

    v7->disconnectResult = true;
    v7->disconnectCode = 0;
    EXPECT_TRUE(registry->DisConnect(1, &code));
    EXPECT_EQ(v7->disconnectHandles, (std::vector<int>{200, 200}));
    EXPECT_FALSE(registry->SetPuOnline(1));
    auto lines = LoggedMessages("PuManager::DisConnect");
    EXPECT_TRUE(Contains(lines, "GetObjectByPuType start. type:2"));
    EXPECT_TRUE(Contains(lines, "DisConnect end. type:2"));
}

TEST_F(RegistryTest, ReRootReturnsTrueEvenWhenTheAdapterFails)
{
    int code = 0;
    EXPECT_FALSE(registry->ReRoot(3, &code));
    EXPECT_EQ(code, 45);

    ASSERT_EQ(ConnectTo("10.0.0.1"), 1);
    v7->reRootResult = false;
    v7->reRootCode = 14;
    code = 1;
    EXPECT_TRUE(registry->ReRoot(1, &code));
    EXPECT_EQ(code, 14);
    EXPECT_EQ(v7->reRootCalls, 1);
    EXPECT_TRUE(Contains(LoggedMessages("PuManager::ReRoot"), "start ReRoot. lPuHandle:200"));
    EXPECT_TRUE(Contains(LoggedMessages("PuManager::ReRoot"), "ReRoot fail. lPuID:1,szPuIP-10.0.0.1,err:14"));

    v7->reRootResult = true;
    EXPECT_TRUE(registry->ReRoot(1, &code));
    EXPECT_TRUE(Contains(LoggedMessages("PuManager::ReRoot"), "ReRoot success. lPuID:1,szPuIP-10.0.0.1"));
}

TEST_F(RegistryTest, IsUseDomainAsksTheAdapterAndAnswersTrue)
{
    int code = 0;
    EXPECT_FALSE(registry->IsUseDomain(5, &code));
    EXPECT_EQ(code, 45);
    ASSERT_EQ(ConnectTo("10.0.0.1"), 1);
    code = 1;
    EXPECT_TRUE(registry->IsUseDomain(1, &code));  // whatever the device's setting
    EXPECT_EQ(v7->isUseDomainCalls, 1);
}

TEST_F(RegistryTest, OnlineMarksAreFoundLowestFirstAndNotCleared)
{
    int id = 77;
    EXPECT_FALSE(registry->GetPuOnline(&id));
    EXPECT_EQ(id, 77);
    EXPECT_FALSE(registry->SetPuOnline(4));
    EXPECT_TRUE(LoggedMessages("PuManager::SetPuOnline").empty());

    ASSERT_EQ(ConnectTo("10.0.0.1"), 1);
    ASSERT_EQ(ConnectTo("10.0.0.2"), 2);
    ASSERT_EQ(ConnectTo("10.0.0.3"), 3);
    EXPECT_TRUE(registry->SetPuOnline(3));
    EXPECT_TRUE(registry->SetPuOnline(2));
    id = 0;
    EXPECT_TRUE(registry->GetPuOnline(&id));
    EXPECT_EQ(id, 2);
    id = 0;
    EXPECT_TRUE(registry->GetPuOnline(&id));
    EXPECT_EQ(id, 2);
    auto lines = LoggedMessages("PuManager::GetPuOnline");
    EXPECT_TRUE(Contains(lines, "GetPuOnline find. lPuID:1"));
    EXPECT_TRUE(Contains(lines, "GetPuOnline success. lPuID:2"));
    EXPECT_FALSE(Contains(lines, "GetPuOnline find. lPuID:3"));
}

using Take = PuManager::RestartTake;

TEST_F(RegistryTest, ARestartBelongsToItsWriteAndALaterWriteSupersedesIt)
{
    int a = 0, b = 0, code = 1;
    std::uint32_t ticketA = 0, ticketB = 0, ticketA2 = 0;
    ASSERT_TRUE(Write("10.0.0.1", &a, &code, &ticketA));
    ASSERT_TRUE(Write("10.0.0.2", &b, &code, &ticketB));
    ASSERT_TRUE(Write("10.0.0.1", &a, &code, &ticketA2));  // the same connection written again
    EXPECT_NE(ticketA, 0u);
    EXPECT_NE(ticketA, ticketA2);
    int online = 0;
    EXPECT_TRUE(registry->GetPuOnline(&online)) << "a successful write marks its connection";

    EXPECT_EQ(registry->TakePuOnline(a, ticketA), Take::Superseded) << "the second write owns a's restart";
    EXPECT_EQ(registry->TakePuOnline(b, ticketB), Take::Taken) << "b's restart takes b, not the lower a";
    EXPECT_EQ(registry->TakePuOnline(b, ticketB), Take::Superseded) << "taken once only";
    EXPECT_EQ(registry->TakePuOnline(a, ticketA2), Take::Taken);
    EXPECT_TRUE(Contains(LoggedMessages("PuManager::TakePuOnline"), "TakePuOnline success. lPuID:2,szPuIP-10.0.0.2"));

    // A failed write leaves the pending restart as it was and hands out no ticket.
    int c = 0;
    std::uint32_t ticketC = 0, none = 77;
    ASSERT_TRUE(Write("10.0.0.3", &c, &code, &ticketC));
    v7->writeResult = false;
    EXPECT_FALSE(Write("10.0.0.3", &c, &code, &none));
    v7->writeResult = true;
    EXPECT_EQ(none, 77u);
    EXPECT_EQ(registry->TakePuOnline(c, ticketC), Take::Taken);
}

// A restart that polls while its device is written again must never slip in between
// the end of that write and the write's own restart ticket: it would reboot the device
// at once instead of 5 s after the write, and leave the write without its restart.
TEST_F(RegistryTest, ARewriteHandsItsTicketOutInTheStepThatEndsIt)
{
    int id = 0, code = 1;
    std::uint32_t first = 0, second = 0;
    ASSERT_TRUE(Write("10.0.0.3", &id, &code, &first));
    Take duringWrite = Take::Taken;
    v7->duringWrite = [&] { duringWrite = registry->TakePuOnline(id, first); };
    // The pending restart polls again as soon as the record changes hands: the first
    // line the registry logs after the write has ended.
    Take afterWrite = Take::Taken;
    SetLogHook([&](const std::string& function, const std::string&) {
        if (function == "PuManager::WritePu" && duringWrite == Take::Busy && afterWrite == Take::Taken)
            afterWrite = registry->TakePuOnline(id, first);
    });
    ASSERT_TRUE(Write("10.0.0.3", &id, &code, &second));
    SetLogHook(nullptr);
    v7->duringWrite = nullptr;
    EXPECT_EQ(duringWrite, Take::Busy);
    EXPECT_EQ(afterWrite, Take::Superseded) << "the old restart must not take the rewritten device";
    EXPECT_EQ(v7->reRootCalls.load(), 0);
    EXPECT_EQ(registry->TakePuOnline(id, second), Take::Taken) << "the rewrite's own restart is owed";
}

// A restart whose close keeps failing leaves its record Closing. Nothing may make a
// later restart wait on that record for ever: it answers Superseded, never Busy.
TEST_F(RegistryTest, AConnectionWhoseCloseFailedIsNeverWrittenAgainNorWaitedFor)
{
    int id = 0, code = 1;
    std::uint32_t ticket = 0;
    ASSERT_TRUE(Write("10.0.0.1", &id, &code, &ticket));
    ASSERT_EQ(registry->TakePuOnline(id, ticket), Take::Taken);
    EXPECT_TRUE(registry->ReRoot(id, &code));
    v7->disconnectResult = false;
    EXPECT_FALSE(registry->CloseRestarted(id, &code));
    registry->ReturnPuOnline(id);
    EXPECT_FALSE(registry->DisConnect(id, &code)) << "the host does not close what the restart retries";
    EXPECT_EQ(code, kErrPuBusy);
    EXPECT_TRUE(registry->SetPuOnline(id));
    EXPECT_EQ(registry->TakePuOnline(id, ticket), Take::Superseded);
    EXPECT_EQ(registry->TakePuOnline(id, 0), Take::Superseded) << "a Closing record holds no ticket";

    int again = 0;
    code = 1;
    std::uint32_t ticketAgain = 0;
    ASSERT_TRUE(Write("10.0.0.1", &again, &code, &ticketAgain));
    EXPECT_NE(again, id) << "a new login, not the rebooted connection";
    EXPECT_EQ(v7->Connets().size(), 2u);
    EXPECT_EQ(v7->writesToRebooted.load(), 0);
    EXPECT_EQ(registry->TakePuOnline(id, ticketAgain), Take::Superseded);
    // The new login dropped the old record: a retried close finds nothing to close.
    v7->disconnectResult = true;
    EXPECT_FALSE(registry->CloseRestarted(id, &code));
    EXPECT_EQ(code, 45);
}

TEST_F(RegistryTest, DestructionReleasesTheNewerLibrariesAndBothAdapters)
{
    registry.reset();
    EXPECT_EQ(*releases, 1);
    EXPECT_EQ(v5->destroyed, 1);
    EXPECT_EQ(v7->destroyed, 1);
}

TEST(RegistrySetUp, OlderAdapterFailingInitStopsBeforeTheNewer)
{
    auto v5 = std::make_shared<AdapterScript>();
    auto v7 = std::make_shared<AdapterScript>();
    auto releases = std::make_shared<std::atomic<int>>(0);
    FakeLoginPrompt prompt;
    v5->initResult = true;
    v5->initCode = 3;  // true but a code left counts as failure
    {
        PuManager registry(FakeProtocols(v5, v7, releases), prompt);
        int code = 0;
        EXPECT_FALSE(registry.Init(&code));
        EXPECT_EQ(code, 1);
        EXPECT_EQ(v7->initCalls, 0);
    }
    EXPECT_EQ(*releases, 0);  // no V7 adapter, nothing to release
}

TEST(RegistrySetUp, MissingNewerAdapterGivesCodeOne)
{
    auto v5 = std::make_shared<AdapterScript>();
    auto releases = std::make_shared<std::atomic<int>>(0);
    FakeLoginPrompt prompt;
    v5->connetResult = false;
    v5->connetCode = 28;
    PuManager registry(FakeProtocols(v5, nullptr, releases), prompt);
    int code = 0;
    EXPECT_FALSE(registry.Init(&code));
    EXPECT_EQ(code, 1);
    registry.SetLoginInfo("a", "b");
    int id = -1;
    EXPECT_FALSE(registry.Connect(&id, "10.0.0.1", 5510, &code));
    EXPECT_EQ(code, 1);
    EXPECT_EQ(id, -1);
}

TEST(RegistrySetUp, OperationsBeforeInitFailCleanly)
{
    FakeLoginPrompt prompt;
    prompt.answer = 2;
    PuManager registry(FakeProtocols(nullptr, nullptr, std::make_shared<std::atomic<int>>(0)), prompt);
    int id = -1, code = 0;
    EXPECT_FALSE(registry.WritePu(GoodRequest("10.0.0.1", 5510, "1.2.3.4", 1, "x", "y", "10.0.0.1"), &id, &code));
    EXPECT_EQ(code, 1);
}
