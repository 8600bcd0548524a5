#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "batch_run.h"
#include "fake_batch_view.h"
#include "fake_device_access.h"

namespace {

using Columns = std::vector<std::array<std::string, 4>>;

const UiTexts& Chinese() { return FindLanguageTexts(kLanguageChinese)->ui; }
const UiTexts& English() { return FindLanguageTexts(kLanguageEnglish)->ui; }

// A device list line of `count` fields, the given ones set, the others empty.
std::string Line(std::size_t count, std::initializer_list<std::pair<std::size_t, std::string>> set)
{
    std::vector<std::string> fields(count);
    for (const auto& [index, text] : set) fields.at(index) = text;
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + fields[i];
    return line;
}

// An ordinary device of nine fields.
std::string Device(const std::string& name, const std::string& ip, const std::string& id,
                   const std::string& user = "admin", const std::string& password = "pw")
{
    return Line(9, {{0, name}, {2, ip}, {3, user}, {4, password}, {8, id}});
}

class BatchRun : public ::testing::Test
{
protected:
    // Writes the list file and presses Write with the dialog's valid defaults.
    void Start(const std::vector<std::string>& lines, const std::string& header = "Name,,IP,User,Pass,,,,ID")
    {
        std::string text = header + "\r\n";
        for (const std::string& line : lines) text += line + "\r\n";
        m_files[m_view.edits.path] = text;
        m_run.OnWrite();
    }

    // Ticks until the run stops its timer (bounded, so a run that never ends fails).
    void TickToEnd()
    {
        for (int i = 0; i < 1000 && m_view.timerRunning; ++i) m_run.OnTimer(kRunTimerId);
        EXPECT_FALSE(m_view.timerRunning);
    }

    // The device each WritePu went to, in order.
    std::vector<std::string> WrittenIps() const
    {
        std::vector<std::string> ips;
        for (const DeviceCall& call : m_access.WritePuCalls()) ips.push_back(call.puIp);
        return ips;
    }

    CFakeBatchView m_view;
    CFakeDeviceAccess m_access;
    std::map<std::string, std::string> m_files;
    CBatchRun m_run{m_view, m_access, [this](const std::string& path) {
                        const auto file = m_files.find(path);
                        return file == m_files.end() ? DeviceList() : ParseDeviceList(file->second);
                    }};
};

}  // namespace

TEST_F(BatchRun, ThreeRowsGiveFourNumberedItemsAndTheCloseFlags)
{
    m_access.writeResults["10.0.0.2"] = 0;   // not written: the run goes on
    m_access.writeResults["10.0.0.3"] = -5;  // any nonzero result is a written device
    Start({Device("cam1", "10.0.0.1", "ID1"), Device("cam2", "10.0.0.2", "ID2"), Device("cam3", "10.0.0.3", "ID3")});
    // Started: one item, inputs off, timer 1 at 1800 ms, the host told.
    EXPECT_EQ(m_view.Columns(), (Columns{{"1", Chinese().textWriting, "", ""}}));
    EXPECT_FALSE(m_view.inputsEnabled);
    EXPECT_TRUE(m_view.timerRunning);
    EXPECT_EQ(m_view.timerPeriodMs, 1800u);
    EXPECT_EQ(m_view.closeFlags, (std::vector<int>{1}));
    EXPECT_TRUE(m_run.IsRunning());

    m_run.OnTimer(kRunTimerId);
    EXPECT_EQ(m_view.Columns(), (Columns{{"1", "cam1", "ID1", Chinese().textSucceeded},
                                         {"2", Chinese().textWriting, "", ""}}));
    EXPECT_TRUE(m_view.scrolledToEnd);
    EXPECT_EQ(m_view.closeFlags, (std::vector<int>{1}));

    TickToEnd();
    EXPECT_EQ(m_view.Columns(), (Columns{{"1", "cam1", "ID1", Chinese().textSucceeded},
                                         {"2", "cam2", "ID2", Chinese().textFailed},
                                         {"3", "cam3", "ID3", Chinese().textSucceeded},
                                         {"4", Chinese().textCompleted, "", ""}}));
    EXPECT_TRUE(m_view.inputsEnabled);
    EXPECT_EQ(m_view.closeFlags, (std::vector<int>{1, 0}));
    EXPECT_FALSE(m_run.IsRunning());
    EXPECT_TRUE(m_view.messages.empty());
    // A late tick finds nothing to do.
    m_run.OnTimer(kRunTimerId);
    EXPECT_EQ(m_view.items.size(), 4u);
    EXPECT_EQ(m_access.calls.size(), 6u);
}

TEST_F(BatchRun, EachDeviceIsLoggedInThenWrittenOnPort5510)
{
    m_view.edits.platformIp = "172.16.0.9";
    m_view.edits.port = "7000";
    Start({Device("cam1", "10.0.0.1", "ID1", "admin", "secret"), Device("cam2", "10.0.0.2", "ID2", "", "")});
    TickToEnd();
    ASSERT_EQ(m_access.calls.size(), 4u);
    for (std::size_t i = 0; i < 4; i += 2) {
        const DeviceCall& connect = m_access.calls[i];
        const DeviceCall& write = m_access.calls[i + 1];
        EXPECT_EQ(connect.method, "Connect");
        EXPECT_EQ(write.method, "WritePu");
        EXPECT_EQ(connect.puIp, write.puIp);
        EXPECT_EQ(connect.puPort, 5510);
        EXPECT_EQ(write.puPort, 5510);
        EXPECT_EQ(write.platIp, "172.16.0.9");
        EXPECT_EQ(write.platPort, 7000);
        EXPECT_EQ(write.puNewIp, write.puIp);
        EXPECT_EQ(write.encoding, TextEncoding::Ansi);
    }
    EXPECT_EQ(m_access.calls[0].userName, "admin");
    EXPECT_EQ(m_access.calls[0].password, "secret");
    EXPECT_EQ(m_access.calls[1].puId, "ID1");
    EXPECT_EQ(m_access.calls[1].newDevName, "cam1");
    // Empty login fields are passed as empty texts.
    EXPECT_EQ(m_access.calls[2].userName, "");
    EXPECT_EQ(m_access.calls[2].password, "");
}

TEST_F(BatchRun, IncompleteRowsAndTheHashRule)
{
    m_run.SetLanguage(kLanguageEnglish);
    const char* incomplete = "The dvice information file is not duly filled up.";
    Start({"a,b",                                                      // two fields
           "",                                                         // an empty line
           ",,,,,,,,",                                                 // nine empty fields
           Line(8, {{0, "cam"}, {2, "10.0.0.1"}, {7, "ID"}}),          // eight fields
           Device("", "10.0.0.1", "ID"),                               // no name
           Device("cam", "", "ID"),                                    // no IP
           Device("cam", "10.0.0.1", ""),                              // no ID
           Device("#", "10.0.0.1", "ID"),                              // name only "#"
           Device("cam", "10.0.0.1", "#"),                             // ID only "#"
           Device("##cam", "10.0.0.9", "#ID9"),                        // one "#" each goes
           "\"q\",,10.0.0.8,,,,,,\"id,8\""});                          // quotes are text
    TickToEnd();
    ASSERT_EQ(m_view.items.size(), 12u);
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(m_view.items[i].columns[1], "") << i;
        EXPECT_EQ(m_view.items[i].columns[3], incomplete) << i;
    }
    EXPECT_EQ(m_view.items[9].columns, (std::array<std::string, 4>{"10", "#cam", "ID9", "Succeeded."}));
    EXPECT_EQ(m_view.items[10].columns, (std::array<std::string, 4>{"11", "\"q\"", "\"id", "Succeeded."}));
    EXPECT_EQ(m_view.items[11].columns[1], "Completed.");
    // Only the two complete rows reached the device access.
    ASSERT_EQ(m_access.WritePuCalls().size(), 2u);
    EXPECT_EQ(m_access.WritePuCalls()[0].newDevName, "#cam");
    EXPECT_EQ(m_access.WritePuCalls()[0].puId, "ID9");
    EXPECT_EQ(m_access.calls.size(), 4u);
}

TEST_F(BatchRun, GbFlagRefusesOnlyNonzeroNumbers)
{
    const auto gb = [](const std::string& ip, const std::string& flag) {
        return Line(13, {{0, "cam"}, {2, ip}, {8, "ID"}, {12, flag}});
    };
    Start({gb("10.0.0.1", "0"), gb("10.0.0.2", "abc"), gb("10.0.0.3", ""), gb("10.0.0.4", "1"),
           gb("10.0.0.5", " 7x"), gb("10.0.0.6", "-1"), gb("10.0.0.7", "99999999999"),
           Line(12, {{0, "cam"}, {2, "10.0.0.8"}, {8, "ID"}, {11, "1"}})});  // too short for a flag
    TickToEnd();
    EXPECT_EQ(WrittenIps(), (std::vector<std::string>{"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.8"}));
    for (std::size_t refused : {3u, 4u, 5u, 6u}) {
        EXPECT_EQ(m_view.items[refused].columns[3], Chinese().textGbRefused) << refused;
        EXPECT_EQ(m_view.items[refused].columns[1], "cam") << refused;
    }
    // Neither call was made for a refused device.
    for (const DeviceCall& call : m_access.calls) EXPECT_NE(call.puIp, "10.0.0.4");
}

TEST_F(BatchRun, ARowsOwnPlatformAddressNeedsFifteenFieldsAndBothValues)
{
    m_run.SetLanguage(kLanguageEnglish);
    m_view.edits.platformIp = "192.168.1.10";
    m_view.edits.port = "5510";
    const auto row = [](std::size_t count, const std::string& ip, const std::string& platIp,
                        const std::string& platPort) {
        return Line(count, {{0, "cam"}, {2, ip}, {8, "ID"}, {13, platIp}, {14, platPort}});
    };
    Start({Line(14, {{0, "cam"}, {2, "10.0.0.1"}, {8, "ID"}, {13, "10.9.9.9"}}),  // 14 fields: 13 not read
           row(15, "10.0.0.2", "10.9.9.9", ""),            // port empty: the dialog's values
           row(15, "10.0.0.3", "", "6000"),                // IP empty: the dialog's values
           row(15, "10.0.0.4", "10.9.9.9", "6000"),        // both: this row's values
           row(15, "10.0.0.5", "10.9.9.9", "abc"),         // letters: refused
           row(15, "10.0.0.6", "10.9.9.9", "6001xyz"),     // read as atoi does
           row(15, "10.0.0.7", "10.9.9.9", "0"),           // refused
           row(15, "10.0.0.8", "10.9.9.9", "65536"),       // refused
           row(16, "10.0.0.9", "not an ip", "65535"),      // the IP is not checked
           Device("cam", "10.0.0.10", "ID")});             // back to the dialog's values
    TickToEnd();
    std::vector<std::pair<std::string, int>> platforms;
    for (const DeviceCall& call : m_access.WritePuCalls()) platforms.emplace_back(call.platIp, call.platPort);
    EXPECT_EQ(platforms, (std::vector<std::pair<std::string, int>>{{"192.168.1.10", 5510},
                                                                   {"192.168.1.10", 5510},
                                                                   {"192.168.1.10", 5510},
                                                                   {"10.9.9.9", 6000},
                                                                   {"10.9.9.9", 6001},
                                                                   {"not an ip", 65535},
                                                                   {"192.168.1.10", 5510}}));
    for (std::size_t refused : {4u, 6u, 7u}) {
        EXPECT_EQ(m_view.items[refused].columns,
                  (std::array<std::string, 4>{std::to_string(refused + 1), "cam", "ID",
                                              "Please enter a port number from the range of 0 to 65535."}));
    }
    // Not even a login for a refused row.
    for (const DeviceCall& call : m_access.calls) EXPECT_NE(call.puIp, "10.0.0.5");
}

TEST_F(BatchRun, CancelAfterTheSecondOfFiveRows)
{
    Start({Device("c1", "10.0.0.1", "I1"), Device("c2", "10.0.0.2", "I2"), Device("c3", "10.0.0.3", "I3"),
           Device("c4", "10.0.0.4", "I4"), Device("c5", "10.0.0.5", "I5")});
    m_run.OnTimer(kRunTimerId);
    m_run.OnTimer(kRunTimerId);
    m_run.OnCancelRun();
    EXPECT_EQ(m_view.Columns(), (Columns{{"1", "c1", "I1", Chinese().textSucceeded},
                                         {"2", "c2", "I2", Chinese().textSucceeded},
                                         {"3", Chinese().textInterrupted, "", ""}}));
    EXPECT_TRUE(m_view.inputsEnabled);
    EXPECT_FALSE(m_view.timerRunning);
    EXPECT_EQ(m_view.closeFlags, (std::vector<int>{1, 0}));
    EXPECT_FALSE(m_run.IsRunning());
    // A tick already queued does nothing more.
    m_run.OnTimer(kRunTimerId);
    EXPECT_EQ(m_view.items.size(), 3u);
    EXPECT_EQ(WrittenIps(), (std::vector<std::string>{"10.0.0.1", "10.0.0.2"}));

    // Write again: an empty list and the first row first.
    m_run.OnWrite();
    EXPECT_EQ(m_view.Columns(), (Columns{{"1", Chinese().textWriting, "", ""}}));
    m_run.OnTimer(kRunTimerId);
    EXPECT_EQ(WrittenIps().back(), "10.0.0.1");
    EXPECT_EQ(m_view.closeFlags, (std::vector<int>{1, 0, 1}));
}

TEST_F(BatchRun, CancelOutsideARunOnlyEnablesTheInputsAndTellsTheHost)
{
    Start({Device("c1", "10.0.0.1", "I1")});
    TickToEnd();
    const Columns finished = m_view.Columns();
    const int enableCalls = m_view.enableCalls;
    m_run.OnCancelRun();
    EXPECT_EQ(m_view.Columns(), finished);
    EXPECT_EQ(m_view.enableCalls, enableCalls + 1);
    EXPECT_TRUE(m_view.inputsEnabled);
    EXPECT_EQ(m_view.closeFlags, (std::vector<int>{1, 0, 0}));

    CFakeBatchView freshView;
    CFakeDeviceAccess freshAccess;
    CBatchRun fresh(freshView, freshAccess, [](const std::string&) { return DeviceList(); });
    fresh.OnCancelRun();
    EXPECT_TRUE(freshView.items.empty());
    EXPECT_EQ(freshView.closeFlags, (std::vector<int>{0}));
}

TEST_F(BatchRun, NoDataTellsTheOperatorAndTheHostSeesOneThenZero)
{
    for (const std::string& content : {std::string(), std::string("header"), std::string("header\r\n")}) {
        CFakeBatchView view;
        CFakeDeviceAccess access;
        CBatchRun run(view, access, [&content](const std::string&) { return ParseDeviceList(content); });
        run.OnWrite();
        ASSERT_EQ(view.messages.size(), 1u);
        EXPECT_EQ(view.messages[0].text, Chinese().textNoData);
        EXPECT_EQ(view.messages[0].caption, Chinese().captionError);
        EXPECT_EQ(view.closeFlags, (std::vector<int>{1, 0}));
        EXPECT_TRUE(view.items.empty());
        EXPECT_TRUE(view.inputsEnabled);
        EXPECT_FALSE(view.timerRunning);
        EXPECT_FALSE(run.IsRunning());
    }
    // A missing file likewise; the list of the last run is emptied by the start.
    Start({Device("c1", "10.0.0.1", "I1")});
    TickToEnd();
    m_view.edits.path = "missing.csv";
    m_run.OnWrite();
    EXPECT_TRUE(m_view.items.empty());
    EXPECT_EQ(m_view.closeFlags, (std::vector<int>{1, 0, 1, 0}));
    // A file the loader cannot hold in memory ends the same way instead of leaving the
    // host with a run that never ends.
    CFakeBatchView view;
    CFakeDeviceAccess access;
    CBatchRun run(view, access, [](const std::string&) -> DeviceList { throw std::bad_alloc(); });
    run.OnWrite();
    EXPECT_EQ(view.closeFlags, (std::vector<int>{1, 0}));
    EXPECT_TRUE(view.inputsEnabled);
}

TEST_F(BatchRun, AFailedInputCheckChangesNothingElse)
{
    Start({Device("c1", "10.0.0.1", "I1")});
    TickToEnd();
    const Columns finished = m_view.Columns();
    const std::vector<int> flags = m_view.closeFlags;
    const int enableCalls = m_view.enableCalls;
    m_run.SetLanguage(kLanguageEnglish);
    m_view.edits.platformIp = "1.2.3.4 ";
    m_run.OnWrite();
    ASSERT_EQ(m_view.messages.size(), 1u);
    EXPECT_EQ(m_view.messages[0].text, "Invalid IP Address!");
    EXPECT_EQ(m_view.messages[0].caption, "Error");
    m_view.edits.platformIp = "1.2.3.4";
    m_view.edits.port = "0";
    m_run.OnWrite();
    EXPECT_EQ(m_view.messages.back().text, English().textPortRange);
    EXPECT_EQ(m_view.Columns(), finished);
    EXPECT_EQ(m_view.closeFlags, flags);
    EXPECT_EQ(m_view.enableCalls, enableCalls);
    EXPECT_EQ(m_view.edits.platformIp, "1.2.3.4");
    EXPECT_FALSE(m_view.timerRunning);
}

TEST_F(BatchRun, TicksNeverNest)
{
    Start({Device("c1", "10.0.0.1", "I1"), Device("c2", "10.0.0.2", "I2")});
    int nested = 0;
    bool inHook = false;
    m_access.whileWriting = [&](const std::string&) {
        // A message loop inside the call delivers the next tick and a Write (once: a
        // tick that did nest would otherwise come back here for ever).
        if (inHook) return;
        inHook = true;
        ++nested;
        m_run.OnTimer(kRunTimerId);
        m_run.OnWrite();
        inHook = false;
    };
    TickToEnd();
    EXPECT_EQ(nested, 2);
    EXPECT_EQ(WrittenIps(), (std::vector<std::string>{"10.0.0.1", "10.0.0.2"}));
    EXPECT_EQ(m_view.Columns(), (Columns{{"1", "c1", "I1", Chinese().textSucceeded},
                                         {"2", "c2", "I2", Chinese().textSucceeded},
                                         {"3", Chinese().textCompleted, "", ""}}));
    EXPECT_EQ(m_view.closeFlags, (std::vector<int>{1, 0}));
    // Other timers are not the run's.
    m_access.whileWriting = nullptr;
    Start({Device("c3", "10.0.0.3", "I3")});
    m_run.OnTimer(2);
    EXPECT_EQ(m_view.items.size(), 1u);
}

TEST_F(BatchRun, WriteBetweenTicksIsIgnoredAndTheRunGoesOn)
{
    Start({Device("c1", "10.0.0.1", "I1"), Device("c2", "10.0.0.2", "I2"), Device("c3", "10.0.0.3", "I3")});
    m_run.OnTimer(kRunTimerId);
    const Columns afterFirst = m_view.Columns();
    // Another list in the path edit, as a WM_COMMAND from outside would find it.
    m_view.edits.path = "other.csv";
    m_files["other.csv"] = "h\r\n" + Device("x1", "10.9.0.1", "X1") + "\r\n";
    m_run.OnWrite();
    EXPECT_EQ(m_view.Columns(), afterFirst);
    EXPECT_EQ(m_view.closeFlags, (std::vector<int>{1}));
    EXPECT_TRUE(m_view.messages.empty());
    EXPECT_TRUE(m_view.timerRunning);
    TickToEnd();
    EXPECT_EQ(WrittenIps(), (std::vector<std::string>{"10.0.0.1", "10.0.0.2", "10.0.0.3"}));
    EXPECT_EQ(m_view.closeFlags, (std::vector<int>{1, 0}));
    // Once the run has ended, Write starts the next one.
    m_run.OnWrite();
    TickToEnd();
    EXPECT_EQ(WrittenIps().back(), "10.9.0.1");
    EXPECT_EQ(m_view.closeFlags, (std::vector<int>{1, 0, 1, 0}));
}

TEST_F(BatchRun, ACancelDuringAWriteEndsTheRunAfterThatRow)
{
    m_run.SetLanguage(kLanguageEnglish);
    Start({Device("c1", "10.0.0.1", "I1"), Device("c2", "10.0.0.2", "I2"), Device("c3", "10.0.0.3", "I3")});
    m_access.whileWriting = [&](const std::string& ip) {
        if (ip != "10.0.0.2") return;
        m_run.OnCancelRun();
        // Nothing happens while the row is under way.
        EXPECT_EQ(m_view.closeFlags, (std::vector<int>{1}));
        EXPECT_TRUE(m_run.IsRunning());
    };
    TickToEnd();
    EXPECT_EQ(m_view.Columns(), (Columns{{"1", "c1", "I1", "Succeeded."},
                                         {"2", "c2", "I2", "Succeeded."},
                                         {"3", "Interrupted.", "", ""}}));
    EXPECT_EQ(WrittenIps(), (std::vector<std::string>{"10.0.0.1", "10.0.0.2"}));
    EXPECT_EQ(m_view.closeFlags, (std::vector<int>{1, 0}));
    EXPECT_TRUE(m_view.inputsEnabled);
    EXPECT_FALSE(m_run.IsRunning());

    // During the last row: the run completes, and the Cancel then acts as one outside a run.
    Start({Device("c4", "10.0.0.4", "I4")});
    m_access.whileWriting = [&](const std::string&) { m_run.OnCancelRun(); };
    TickToEnd();
    EXPECT_EQ(m_view.Columns(), (Columns{{"1", "c4", "I4", "Succeeded."}, {"2", "Completed.", "", ""}}));
    EXPECT_EQ(m_view.closeFlags, (std::vector<int>{1, 0, 1, 0, 0}));
}

TEST_F(BatchRun, WithoutTheDeviceAccessNoRunStarts)
{
    m_access.available = false;
    Start({Device("c1", "10.0.0.1", "I1")});
    ASSERT_EQ(m_view.messages.size(), 1u);
    EXPECT_EQ(m_view.messages[0].text, Chinese().textAccessUnavailable);
    EXPECT_EQ(m_view.messages[0].caption, Chinese().captionError);
    EXPECT_TRUE(m_view.closeFlags.empty());
    EXPECT_TRUE(m_view.items.empty());
    EXPECT_TRUE(m_view.inputsEnabled);
    EXPECT_FALSE(m_view.timerRunning);
    EXPECT_FALSE(m_run.IsRunning());
    m_run.OnTimer(kRunTimerId);
    EXPECT_TRUE(m_access.calls.empty());
    // The input checks still come first.
    m_view.edits.platformIp = "";
    m_run.OnWrite();
    EXPECT_EQ(m_view.messages.back().text, Chinese().textIpEmpty);
}

TEST_F(BatchRun, LanguageOneOrTwoOnlyAndItsTextsFromTheNextEntryOn)
{
    EXPECT_EQ(m_run.Language(), kLanguageChinese);
    for (const int ignored : {0, -1, 3, 4, 32767}) {
        EXPECT_FALSE(m_run.SetLanguage(ignored)) << ignored;
        EXPECT_EQ(m_run.Language(), kLanguageChinese) << ignored;
    }
    EXPECT_TRUE(m_run.SetLanguage(kLanguageEnglish));
    EXPECT_FALSE(m_run.SetLanguage(0));
    EXPECT_EQ(m_run.Texts().columns[3].caption, std::string("Operation Result"));

    Start({Device("c1", "10.0.0.1", "I1"), Device("c2", "10.0.0.2", "I2")});
    EXPECT_EQ(m_view.items[0].columns[1], "Writing...");
    m_run.OnTimer(kRunTimerId);
    EXPECT_TRUE(m_run.SetLanguage(kLanguageChinese));
    m_run.OnTimer(kRunTimerId);
    EXPECT_EQ(m_view.Columns(), (Columns{{"1", "c1", "I1", "Succeeded."},
                                         {"2", "c2", "I2", Chinese().textSucceeded},
                                         {"3", Chinese().textCompleted, "", ""}}));
}

TEST_F(BatchRun, AUtf8ListReachesTheViewAndTheDeviceAsUtf8)
{
    const std::string name = "\xE6\x91\x84\xE5\x83\x8F\xE6\x9C\xBA";  // UTF-8
    Start({Device(name, "10.0.0.1", "I1")}, "\xEF\xBB\xBFName");
    TickToEnd();
    EXPECT_EQ(m_view.items[0].columns[1], name);
    EXPECT_EQ(m_view.items[0].encodings[1], TextEncoding::Utf8);
    EXPECT_EQ(m_view.items[0].encodings[2], TextEncoding::Utf8);
    for (const DeviceCall& call : m_access.calls) EXPECT_EQ(call.encoding, TextEncoding::Utf8);
    EXPECT_EQ(m_access.WritePuCalls()[0].newDevName, name);

    // Without the mark the same bytes are the system's ANSI text.
    m_access.calls.clear();
    Start({Device("\xC9\xE3\xCF\xF1\xBB\xFA", "10.0.0.1", "I1")});
    TickToEnd();
    EXPECT_EQ(m_view.items[0].encodings[1], TextEncoding::Ansi);
    EXPECT_EQ(m_access.calls[0].encoding, TextEncoding::Ansi);
    // The run's own texts are always UTF-8.
    EXPECT_EQ(m_view.items[0].encodings[3], TextEncoding::Utf8);
}
