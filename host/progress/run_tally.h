// Counting the dialog's result list: which rows have their result and which of them were
// written. Portable.
#pragma once
#include <cstddef>
#include <string>
#include <vector>
#include "export/run_exports.h"
#include "progress_text.h"

namespace trevanil_host {

// Whether a result text says the row was written (either language).
bool IsWrittenResult(const std::string& result);

// The counts of a list of `totalRows` rows whose dialog list reads `items`: item i is row
// i while it has a result; the item after the last row done carries only the run's
// progress or final state.
RunCounts TallyResults(const std::vector<ResultItem>& items, std::size_t totalRows);

// Written or not, for each row done (for BuildRetryList).
std::vector<bool> WrittenRows(const std::vector<ResultItem>& items, std::size_t totalRows);

} // namespace trevanil_host
