// The journal of a batch run: one line appended per event (a row's result, a device's
// restart, a run that starts, is resumed or ends), each line closed by a checksum, so
// that a host killed at any instant or a power loss leaves a journal whose whole lines
// account for every row, and a torn last line is known and dropped. What a row is at any
// moment is what the journal's lines say in order (RunLedger). Portable.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "list_columns.h"

namespace trevanil_host {

// What a row of the device list has come to.
enum class RowOutcome : std::uint8_t {
    NotReached,  // no result yet
    Written,     // written into its device; its restart not seen yet: still owed
    Restarted,   // written and restarted: the device is registered
    NotWritten,  // its result says it was not written (refused, incomplete, GB device, ...)
};

enum class JournalEventKind : std::uint8_t {
    RunStarted,     // a run of the whole list: `rows` rows
    RunResumed,     // a run of the rows still owed, in order, as they stand at this line
    RowWritten,     // `row` was written: `result`, `deviceName`, `deviceId` as the dialog showed them
    RowNotWritten,  // `row` was not written, for `result`
    RowRestarted,   // `row`'s device restarted after its write
    RestartGivenUp, // `row`'s restart did not end (its connection could not be closed): owed again
    RunEnded,       // the run went through its last row
    RunInterrupted, // the run stopped before its last row (Cancel)
};

struct JournalEvent {
    JournalEventKind kind = JournalEventKind::RunStarted;
    std::uint64_t row = 0;  // 0-based data row of the list; the row count for RunStarted
    std::string result;
    std::string deviceName;
    std::string deviceId;
    std::vector<std::string> further;  // the texts of the list's further columns (FurtherColumns)
};

// The list's columns a line keeps after its own texts (result, name, ID: the stored order):
// every other column but the number, in the list's order. A journal written before a
// column was added holds no text for it, which reads as empty.
const std::vector<std::string ListItem::*>& FurtherColumns();

// One line of the journal, CR LF included. Texts are kept as UTF-8; a tab or a control
// character in them becomes a space (a result file cell holds neither).
std::string FormatJournalLine(const JournalEvent& event);

// The first line of every journal.
std::string JournalFirstLine();

// A row as the journal leaves it.
struct LedgerRow {
    RowOutcome outcome = RowOutcome::NotReached;
    std::string result;
    std::string deviceName;
    std::string deviceId;
    std::vector<std::string> further;
};

// The most rows a record keeps (a 1.8 s tick a row: three weeks of writing); a journal
// that claims more is not one of ours.
constexpr std::uint64_t kMaxLedgerRows = 1000000;

// The rows of a run as its journal's lines leave them, applied one by one.
class RunLedger {
public:
    // Applies one event; false (and nothing changes) when it does not fit: a row beyond
    // the list, a row event before the run started, a second start, a start of more than
    // kMaxLedgerRows rows.
    bool Apply(const JournalEvent& event);

    bool Started() const { return m_started; }
    std::size_t RowCount() const { return m_rows.size(); }
    const LedgerRow& Row(std::size_t row) const { return m_rows[row]; }
    // Rows with their result, written, not written; restarted and still owed of the written.
    std::size_t Done() const { return m_done; }
    std::size_t Written() const { return m_written + m_restarted; }
    std::size_t NotWritten() const { return m_done - m_written - m_restarted; }
    std::size_t Restarted() const { return m_restarted; }
    std::size_t Owed() const { return m_written; }

    // The rows a resumed run goes through: every row not restarted, in list order.
    std::vector<std::size_t> RowsToDo() const;

private:
    void Count(RowOutcome outcome, int by);

    bool m_started = false;
    std::vector<LedgerRow> m_rows;
    std::size_t m_done = 0;       // rows with a result (written, restarted or not written)
    std::size_t m_written = 0;    // written, restart still owed
    std::size_t m_restarted = 0;
};

// A journal's bytes replayed: the ledger of its whole lines and how many bytes those
// lines take (where the next line must go: a torn or damaged tail is cut there).
struct JournalReplay {
    RunLedger ledger;
    std::size_t wholeBytes = 0;
    bool tornTail = false;  // bytes after the last whole line were dropped
};

// Nothing when the text is not a journal (its first line is missing or different).
std::optional<JournalReplay> ReplayJournal(std::string_view bytes);

} // namespace trevanil_host
