// Reading the device list and saving what a run leaves for the operator: the result list
// and the list of rows not written, beside the device list, or where that folder cannot
// be written in the user's own folder (%LOCALAPPDATA%\trevanil). Each file is replaced
// whole (progress/atomic_file.h).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include "export/run_exports.h"
#include "progress/run_tally.h"

namespace trevanil_host {

bool ReadWholeFile(const std::wstring& path, std::string& bytes);

struct SavedRunFiles {
    std::wstring results;   // <list>-results.csv
    std::wstring retry;     // <list>-retry.csv
    std::size_t retryRows = 0;
    bool inUserFolder = false;
};

struct RunFilePaths {
    std::wstring results;
    std::wstring retry;
    bool inUserFolder = false;
};

// "dir\devices.csv" gives "dir\devices-results.csv" and "dir\devices-retry.csv".
RunFilePaths RunFilesBeside(const std::wstring& listPath);
// "%LOCALAPPDATA%\trevanil\devices-<key>-results.csv" and "...-retry.csv", the key made
// from the list's whole path; empty paths when that folder cannot be had.
RunFilePaths RunFilesInUserFolder(const std::wstring& listPath);
// A key of a path, the same whatever the letter case or slashes.
std::uint32_t PathKey(const std::wstring& path);

// `items` is the dialog's list as it stands; item i is data row i of the file whose
// bytes were `original` when the run started. Writes the results file, then the retry
// list, each replaced whole; false with `error` when one cannot be written.
bool WriteRunFiles(const RunFilePaths& paths, const std::string& original, const std::vector<ResultItem>& items,
                   bool english, std::string& error);

// WriteRunFiles beside the device list, or where that fails in the user's folder.
std::optional<SavedRunFiles> SaveRunFiles(const std::wstring& listPath, const std::string& original,
                                          const std::vector<ResultItem>& items, bool english, std::string& error);

} // namespace trevanil_host
