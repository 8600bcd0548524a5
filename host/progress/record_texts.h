// The host's texts about a run's record (its results file and retry list) in both
// languages, UTF-8. Portable.
#pragma once
#include <cstddef>
#include <string>
#include "run_state.h"

namespace trevanil_host {

// What the host does with the retry list of a run that did not end.
enum class RetryListUse {
    Ask,      // asks whether to load it into the dialog
    Loaded,   // it is loaded (--resume)
    Hint,     // --resume would load it
    Refused,  // --write without --resume: nothing is written
};

// Said when the host starts and the last run of a list did not end: how far it got and
// when, where the rows not done are, and then as `use` says.
std::string UnfinishedRunText(const RunState& state, bool english, RetryListUse use);

// --resume found no run that did not end.
std::string NoUnfinishedRunText(bool english);

// Another host (`state`, when known) is writing the list.
std::string ListBusyText(const RunState& state, bool english);

// The record of an unfinished run was renamed to `path` before a new run of its list.
std::string KeptAsideText(const std::string& path, bool english);

// The record cannot be written; and the short note the progress line then carries.
std::string RecordFailureText(const std::string& error, bool english);
std::string RecordFailedNote(bool english);

// "restarted 5 of 6 rows written".
std::string RestartSummaryText(std::size_t restarted, std::size_t written, bool english);

// Where the record of a run is kept; `fallback` when the device list's folder could not
// be written and the user's own folder took the files, `renamed` when a file held open by
// another program was written beside it under another name.
std::string RecordPlaceText(const std::string& results, const std::string& retry, bool fallback, bool renamed,
                            bool english);

} // namespace trevanil_host
