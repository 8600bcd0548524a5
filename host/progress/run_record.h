// The record a run keeps current on every row, so that a host killed at any instant or a
// power loss loses nothing: the results file and the retry list (run_files.h), then the
// run's state file (run_state.h) in %LOCALAPPDATA%\trevanil\runs, one per device list,
// named by a key of its path. Each is replaced whole, in that order, so the state file
// never says more than the two files hold, and the two files together always account for
// every row: a row the results call written was written; every other row is in the retry
// list.
#pragma once
#include <optional>
#include <string>
#include <vector>
#include "export/run_exports.h"
#include "progress/progress_text.h"
#include "progress/run_state.h"
#include "run_files.h"

namespace trevanil_host {

class CRunRecord {
public:
    // Starts the record of a run of the list at `listPath` whose bytes are `original`:
    // both files with no row done (the retry list is the whole list), then the state
    // "running". False with `error` when the files cannot be written anywhere.
    bool Begin(const std::wstring& listPath, std::string original, std::size_t totalRows, bool english,
               std::string& error);
    // After a row, or at the end (`kind` not Running): the files as the dialog's list
    // `items` stands, then the state.
    bool Update(const std::vector<ResultItem>& items, const RunCounts& counts, RunStateKind kind, std::string& error);

    bool Active() const { return m_active; }
    const RunFilePaths& Paths() const { return m_paths; }
    // Empty when the user's folder cannot be had (the run then has no state file).
    const std::wstring& StatePath() const { return m_statePath; }

private:
    bool WriteState(std::string& error);

    bool m_active = false;
    std::wstring m_listPath;
    std::string m_original;
    bool m_english = false;
    RunFilePaths m_paths;
    std::wstring m_statePath;
    RunState m_state;
};

// The state file of the list at `listPath`.
std::wstring RunStatePath(const std::wstring& listPath);

// The last run that did not end and whose host is gone: of the list at `listPath` when
// it is not empty, else the one updated last of all this user's lists.
std::optional<RunState> FindUnfinishedRun(const std::wstring& listPath);

// A run that did not end whose retry list a new run has taken up: its state says
// "interrupted" from now on, so it is not offered again.
bool MarkRunTakenUp(RunState state, std::string& error);

} // namespace trevanil_host
