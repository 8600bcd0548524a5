#include "run_files.h"

#include <windows.h>
#include <cwchar>
#include "activex/unique_handle.h"
#include "dialog_automation.h"
#include "progress/atomic_file.h"

namespace trevanil_host {
namespace {

// "dir\devices.csv" with `suffix` "-results" gives "dir\devices-results.csv".
std::wstring Beside(const std::wstring& path, const wchar_t* suffix)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::size_t dot = path.find_last_of(L'.');
    const bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
    const std::wstring stem = hasExtension ? path.substr(0, dot) : path;
    return stem + suffix + L".csv";
}

// The file name of a path without its folder and extension.
std::wstring Stem(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

} // namespace

bool ReadWholeFile(const std::wstring& path, std::string& bytes)
{
    activex::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && ReadAllBytes(file.get(), bytes, bytes.max_size());
}

std::uint32_t PathKey(const std::wstring& path)
{
    std::wstring folded = path;
    for (wchar_t& c : folded)
        if (c == L'/') c = L'\\';
    if (!folded.empty()) CharLowerBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    std::uint32_t hash = 2166136261u;  // FNV-1a over the UTF-16 units
    for (wchar_t c : folded) {
        hash ^= static_cast<std::uint16_t>(c);
        hash *= 16777619u;
    }
    return hash;
}

RunFilePaths RunFilesBeside(const std::wstring& listPath)
{
    return {Beside(listPath, L"-results"), Beside(listPath, L"-retry"), false};
}

RunFilePaths RunFilesInUserFolder(const std::wstring& listPath)
{
    const std::wstring folder = UserHostFolder();
    if (folder.empty()) return {};
    // The list's name and a key of its whole path, so lists of one name in two folders
    // keep files of their own.
    wchar_t key[16] = L"";
    swprintf(key, 16, L"-%08x", static_cast<unsigned>(PathKey(listPath)));
    const std::wstring stem = folder + L"\\" + Stem(listPath) + key;
    return {stem + L"-results.csv", stem + L"-retry.csv", true};
}

bool WriteRunFilesAt(RunFilePaths& paths, const std::string& results, const std::string& retry, std::string& error)
{
    // The results first: a row is called done there only once the retry list has lost it
    // too, and until then a row may at most be in both.
    const std::optional<std::wstring> resultsAt = ReplaceFileOrBeside(paths.results, results, error);
    if (!resultsAt) return false;
    const std::optional<std::wstring> retryAt = ReplaceFileOrBeside(paths.retry, retry, error);
    if (!retryAt) return false;
    paths.renamed = paths.renamed || *resultsAt != paths.results || *retryAt != paths.retry;
    paths.results = *resultsAt;
    paths.retry = *retryAt;
    return true;
}

std::optional<RunFilePaths> PlaceRunFiles(const std::wstring& listPath, const std::string& results,
                                          const std::string& retry, std::string& error)
{
    RunFilePaths paths = RunFilesBeside(listPath);
    if (WriteRunFilesAt(paths, results, retry, error)) return paths;
    // The device list's folder cannot be written (a read-only share, a CD): the user's
    // own folder takes them.
    const std::string besideError = error;
    paths = RunFilesInUserFolder(listPath);
    if (paths.results.empty() || !WriteRunFilesAt(paths, results, retry, error)) {
        error = besideError + "; " + error;
        return std::nullopt;
    }
    return paths;
}

std::wstring FullPath(const std::wstring& path)
{
    std::wstring full(32768, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size()) return path;
    full.resize(length);
    return full;
}

} // namespace trevanil_host
