// The record of a batch run, which a host killed at any instant or a power loss leaves
// able to account for every row: done (written and its device restarted), not written
// with its result, or owed (written but not restarted, or not reached).
//
// In the user's folder %LOCALAPPDATA%\trevanil\runs, named by a key of the list's full
// path: "<key>.journal" (one line appended per row's result and per restart, flushed once
// a row, run_journal.h), "<key>.list" (the list's bytes as the run started) and
// "<key>.txt" (the run's state, run_state.h, replaced whole when the run starts and ends).
// The results file and the retry list are written whole when the run starts (nothing
// done: the retry list is the whole list), when it is finished, and when a host finds it
// unfinished; so what a run costs per row does not grow with the list.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>
#include "export/run_exports.h"
#include "progress/journal_file.h"
#include "progress/run_journal.h"
#include "progress/run_state.h"
#include "run_files.h"

namespace trevanil_host {

enum class RecordStart { Done, Busy, Failed };

class CRunRecord {
public:
    // A new run of the list at `listPath` (a full path) whose bytes are `original`.
    RecordStart BeginRun(const std::wstring& listPath, std::string original, bool english, std::string& error);
    // The unfinished run `state` carried on by a run of its rows still to do, in order.
    RecordStart BeginResume(const RunState& state, bool english, std::string& error);

    // The dialog's item `item` got its result; the row of the list it is, or nothing when
    // the run has no such item.
    std::optional<std::size_t> OnItem(std::size_t item, const ResultItem& result, bool written);
    void OnRestarted(std::size_t row);
    void OnRestartGivenUp(std::size_t row);
    // The dialog went through its last row (`completed`) or was stopped.
    void OnRunOver(bool completed);
    // The files from the journal's rows, then the state "ended" or "interrupted".
    void Finish();

    bool Active() const { return m_active; }
    bool Over() const { return m_over; }
    // Some part of the record could not be written (said once, by `FirstError`).
    bool Failed() const { return !m_error.empty(); }
    const std::string& FirstError() const { return m_error; }
    const RunFilePaths& Paths() const { return m_paths; }
    const RunLedger& Ledger() const { return m_ledger; }
    // The device IP of a row of the list, as the list has it.
    const std::string& DeviceIp(std::size_t row) const;

private:
    RecordStart OpenPaths(const std::wstring& listPath, bool english, std::string& error);
    void Journal(const JournalEvent& event, bool flush);
    // A restart's line (restarted, given up), flushed with the next row's.
    void JournalRowLine(JournalEventKind kind, std::size_t row);
    void Fail(const std::string& error);
    bool WriteState(RunStateKind kind, std::string& error);

    bool m_active = false;
    bool m_over = false;
    bool m_completed = false;
    bool m_english = false;
    std::wstring m_listPath;
    std::string m_original;
    std::vector<std::string> m_ips;
    std::vector<std::size_t> m_itemRows;  // the list's row of each item of the dialog
    RunLedger m_ledger;
    CJournalFile m_journal;
    std::wstring m_journalPath, m_copyPath, m_statePath;
    RunFilePaths m_paths;
    RunState m_state;
    std::string m_error;
};

// The state file of the list at `listPath` (a full path); empty without a user's folder.
std::wstring RunStatePath(const std::wstring& listPath);

// The last run that did not end and whose host is gone: of the list at `listPath` when
// it is not empty, else the one updated last of all this user's lists. Its counts are
// those of its journal, and its results file and retry list are rebuilt from it.
std::optional<RunState> FindUnfinishedRun(const std::wstring& listPath, bool english, std::string& error);

// Whether the last run of the list did not end and its host is gone (nothing is read
// but its state).
bool HasUnfinishedRun(const std::wstring& listPath);

// A run of the list that another host is running now.
std::optional<RunState> FindRunningElsewhere(const std::wstring& listPath);

// Renames the record of the list's unfinished run aside ("<key>-<time>.*.aside"), so a
// new run does not overwrite it; the new name of its state file.
std::optional<std::wstring> KeepRecordAside(const std::wstring& listPath, std::string& error);

} // namespace trevanil_host
