// The host's texts about a run's record (its results file and retry list) in both
// languages, UTF-8. Portable.
#pragma once
#include <string>
#include "run_state.h"

namespace trevanil_host {

// What the host does with the retry list of a run that did not end.
enum class RetryListUse {
    Ask,     // asks whether to load it into the dialog
    Loaded,  // it is loaded (--resume)
    Hint,    // --resume would load it
};

// Said when the host starts and the last run of a list did not end: how far it got and
// when, where the rows not written are, and then as `use` says.
std::string UnfinishedRunText(const RunState& state, bool english, RetryListUse use);

// --resume found no run that did not end.
std::string NoUnfinishedRunText(bool english);

// Where the record of a run is kept; `fallback` when the device list's folder could not
// be written and the user's own folder took the files.
std::string RecordPlaceText(const std::string& results, const std::string& retry, bool fallback, bool english);

} // namespace trevanil_host
