// Reading the device list and saving what a run leaves for the operator: the result list
// and the list of rows not written, beside the device list.
#pragma once
#include <optional>
#include <string>
#include <vector>
#include "export/run_exports.h"

namespace trevanil_host {

bool ReadWholeFile(const std::wstring& path, std::string& bytes);

struct SavedRunFiles {
    std::wstring results;   // <list>-results.csv
    std::wstring retry;     // <list>-retry.csv
    std::size_t retryRows = 0;
};

// `items` is the dialog's list as it stands after the run; item i is data row i of the
// file whose bytes were `original` when the run started.
std::optional<SavedRunFiles> SaveRunFiles(const std::wstring& listPath, const std::string& original,
                                          const std::vector<ResultItem>& items, bool english, std::string& error);

// Whether a result text says the row was written (either language).
bool IsWrittenResult(const std::string& result);

} // namespace trevanil_host
