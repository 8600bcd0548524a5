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
#include "result_kinds.h"

namespace trevanil_host {

bool ReadWholeFile(const std::wstring& path, std::string& bytes);

struct RunFilePaths {
    std::wstring results;
    std::wstring retry;
    bool inUserFolder = false;
    bool renamed = false;  // a file held open by another program: written beside it under another name
};

// The full path of a file (\"..\\devices.csv\" from any folder names one record).
std::wstring FullPath(const std::wstring& path);

// "dir\devices.csv" gives "dir\devices-results.csv" and "dir\devices-retry.csv".
RunFilePaths RunFilesBeside(const std::wstring& listPath);
// "%LOCALAPPDATA%\trevanil\devices-<key>-results.csv" and "...-retry.csv", the key made
// from the list's whole path; empty paths when that folder cannot be had.
RunFilePaths RunFilesInUserFolder(const std::wstring& listPath);
// A key of a path, the same whatever the letter case or slashes.
std::uint32_t PathKey(const std::wstring& path);

// Writes the results file, then the retry list, at `paths`, each replaced whole; one that
// another program holds open goes beside it under another name, and `paths` says where.
bool WriteRunFilesAt(RunFilePaths& paths, const std::string& results, const std::string& retry, std::string& error);

// WriteRunFilesAt beside the device list, or where that folder cannot be written in the
// user's folder; nothing with `error` when neither takes them.
std::optional<RunFilePaths> PlaceRunFiles(const std::wstring& listPath, const std::string& results,
                                          const std::string& retry, std::string& error);

} // namespace trevanil_host
