#include <gtest/gtest.h>

#include <string>
#include "export/run_exports.h"
#include "progress/run_journal.h"
#include "result_kinds.h"

namespace {

using namespace trevanil_host;

JournalEvent Event(JournalEventKind kind, std::uint64_t row, std::string result = {}, std::string name = {},
                   std::string id = {})
{
    return {kind, row, std::move(result), std::move(name), std::move(id), {}};
}

// A run of four rows: row 0 written and restarted, row 1 refused, row 2 written and owed.
std::string FourRowJournal()
{
    return JournalFirstLine() + FormatJournalLine(Event(JournalEventKind::RunStarted, 4)) +
           FormatJournalLine(Event(JournalEventKind::RowWritten, 0, "Succeeded.", "Cam,A", "PU-A")) +
           FormatJournalLine(Event(JournalEventKind::RowNotWritten, 1, "Failed.", "Cam\tB\r", "PU-B")) +
           FormatJournalLine(Event(JournalEventKind::RowWritten, 2, "Succeeded.", "Cam-C", "PU-C")) +
           FormatJournalLine(Event(JournalEventKind::RowRestarted, 0)) +
           FormatJournalLine(Event(JournalEventKind::RowRestarted, 1));  // a restart of no write: nothing
}

TEST(RunJournal, ReplayAccountsForEveryRowAndBuildsTheFilesFromIt)
{
    const std::string bytes = FourRowJournal();
    const std::optional<JournalReplay> replay = ReplayJournal(bytes);
    ASSERT_TRUE(replay);
    EXPECT_FALSE(replay->tornTail);
    EXPECT_EQ(bytes.size(), replay->wholeBytes);
    const RunLedger& ledger = replay->ledger;
    EXPECT_EQ(RowOutcome::Restarted, ledger.Row(0).outcome);
    EXPECT_EQ(RowOutcome::NotWritten, ledger.Row(1).outcome);
    EXPECT_EQ(RowOutcome::Written, ledger.Row(2).outcome);
    EXPECT_EQ(RowOutcome::NotReached, ledger.Row(3).outcome);
    EXPECT_EQ(3u, ledger.Done());
    EXPECT_EQ(2u, ledger.Written());
    EXPECT_EQ(1u, ledger.Restarted());
    EXPECT_EQ(1u, ledger.Owed());
    EXPECT_EQ((std::vector<std::size_t>{1, 2, 3}), ledger.RowsToDo());

    EXPECT_EQ("\xEF\xBB\xBFNo.,Device Name,Device ID,Operation Result,Restart\r\n"
              "1,\"Cam,A\",PU-A,Succeeded.,Restarted\r\n"
              "2,Cam B ,PU-B,Failed.,\r\n"
              "3,Cam-C,PU-C,Succeeded.,Not restarted\r\n",
              FormatLedgerResultsCsv(ledger, true));
    const std::string list = "h\r\nr0\r\nr1\r\nr2\r\nr3";
    EXPECT_EQ("h\r\nr1\r\nr2\r\nr3", BuildLedgerRetryList(list, ledger)) << "every row not restarted, byte for byte";
    const std::string chinese = FormatLedgerResultsCsv(ledger, false);
    EXPECT_NE(std::string::npos, chinese.find(",\xE9\x87\x8D\xE5\x90\xAF\r\n")) << chinese;
    EXPECT_NE(std::string::npos, chinese.find("Succeeded.,\xE6\x9C\xAA\xE9\x87\x8D\xE5\x90\xAF\r\n")) << chinese;

    // A resumed run writes row 2 again and its restart comes; row 1 is refused again.
    std::string resumed = bytes + FormatJournalLine(Event(JournalEventKind::RunResumed, 0)) +
                          FormatJournalLine(Event(JournalEventKind::RowNotWritten, 1, "Failed.", "Cam B", "PU-B")) +
                          FormatJournalLine(Event(JournalEventKind::RowWritten, 2, "Succeeded.", "Cam-C", "PU-C")) +
                          FormatJournalLine(Event(JournalEventKind::RowRestarted, 2)) +
                          FormatJournalLine(Event(JournalEventKind::RestartGivenUp, 0)) +
                          FormatJournalLine(Event(JournalEventKind::RestartGivenUp, 1));  // not restarted: nothing
    const std::optional<JournalReplay> again = ReplayJournal(resumed);
    ASSERT_TRUE(again);
    EXPECT_EQ(1u, again->ledger.Restarted());
    EXPECT_EQ(1u, again->ledger.Owed()) << "row 0's restart was given up: written, owed again";
    EXPECT_EQ(RowOutcome::NotWritten, again->ledger.Row(1).outcome);
    EXPECT_EQ((std::vector<std::size_t>{0, 1, 3}), again->ledger.RowsToDo());
}

TEST(RunJournal, ATornOrDamagedTailIsDroppedWithEverythingAfterIt)
{
    const std::string whole = FourRowJournal();
    const std::string next = FormatJournalLine(Event(JournalEventKind::RowRestarted, 2));
    for (std::size_t cut = 1; cut < next.size(); ++cut) {
        const std::optional<JournalReplay> replay = ReplayJournal(whole + next.substr(0, cut));
        ASSERT_TRUE(replay) << cut;
        EXPECT_TRUE(replay->tornTail) << cut;
        EXPECT_EQ(whole.size(), replay->wholeBytes) << cut;
        EXPECT_EQ(1u, replay->ledger.Owed()) << "a torn restart line leaves its row owed, cut at " << cut;
    }
    // One byte changed in a line: that line and every line after it go.
    std::string damaged = whole + next + next;
    damaged[whole.size() + 3] ^= 0x01;
    const std::optional<JournalReplay> replay = ReplayJournal(damaged);
    ASSERT_TRUE(replay);
    EXPECT_EQ(whole.size(), replay->wholeBytes);
    EXPECT_EQ(1u, replay->ledger.Owed());
    // Lines that do not fit the run: a row beyond it, a second start.
    EXPECT_EQ(whole.size(),
              ReplayJournal(whole + FormatJournalLine(Event(JournalEventKind::RowWritten, 4, "Succeeded.")))->wholeBytes);
    EXPECT_EQ(whole.size(), ReplayJournal(whole + FormatJournalLine(Event(JournalEventKind::RunStarted, 9)))->wholeBytes);
    EXPECT_FALSE(ReplayJournal("not a journal\r\n"));
    EXPECT_FALSE(ReplayJournal(""));
}

TEST(RunJournal, AFurtherColumnsTextsRideAtTheLineEndAndOlderLinesHaveNone)
{
    JournalEvent written = Event(JournalEventKind::RowWritten, 0, "Succeeded.", "Cam-A", "PU-A");
    written.further = {"10.0.0.1", "a\tb"};
    const std::string line = FormatJournalLine(written);
    EXPECT_NE(std::string::npos, line.find("PU-A\t10.0.0.1\ta b *")) << line;
    const std::optional<JournalReplay> replay =
        ReplayJournal(JournalFirstLine() + FormatJournalLine(Event(JournalEventKind::RunStarted, 2)) + line +
                      FormatJournalLine(Event(JournalEventKind::RowNotWritten, 1, "Failed.", "Cam-B", "PU-B")));
    ASSERT_TRUE(replay);
    EXPECT_EQ("PU-A", replay->ledger.Row(0).deviceId);
    EXPECT_EQ((std::vector<std::string>{"10.0.0.1", "a b"}), replay->ledger.Row(0).further);
    EXPECT_EQ("PU-B", replay->ledger.Row(1).deviceId);
    EXPECT_TRUE(replay->ledger.Row(1).further.empty());
}

TEST(ResultKinds, ResultTextsOfBothLanguagesAreToldApart)
{
    EXPECT_EQ(ResultKind::Written, ClassifyResult("Succeeded."));
    EXPECT_EQ(ResultKind::Written, ClassifyResult("\xE5\x86\x99\xE5\x85\xA5\xE5\x89\x8D\xE7\xAB\xAF\xE6\x88\x90\xE5\x8A\x9F\xEF\xBC\x81"));
    EXPECT_EQ(ResultKind::Failed, ClassifyResult("Failed."));
    EXPECT_EQ(ResultKind::NotWritable, ClassifyResult("You cannot write data into GB-compliant devices."));
    EXPECT_EQ(ResultKind::NotWritable, ClassifyResult("The dvice information file is not duly filled up."));
    EXPECT_EQ(ResultKind::Unknown, ClassifyResult("Completed."));
    EXPECT_EQ(ResultKind::Unknown, ClassifyResult(""));
}

} // namespace
