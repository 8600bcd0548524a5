#include "run_files.h"

#include <windows.h>
#include "activex/unique_handle.h"
#include "dialog_automation.h"

namespace trevanil_host {
namespace {

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    activex::UniqueFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// "dir\devices.csv" with `suffix` "-results" gives "dir\devices-results.csv".
std::wstring Beside(const std::wstring& path, const wchar_t* suffix)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::size_t dot = path.find_last_of(L'.');
    const bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
    const std::wstring stem = hasExtension ? path.substr(0, dot) : path;
    return stem + suffix + L".csv";
}

} // namespace

bool IsWrittenResult(const std::string& result)
{
    return result == "Succeeded." || result == "\xE5\x86\x99\xE5\x85\xA5\xE5\x89\x8D\xE7\xAB\xAF\xE6\x88\x90\xE5\x8A\x9F\xEF\xBC\x81";
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes)
{
    activex::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    bytes.clear();
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    return true;
}

std::optional<SavedRunFiles> SaveRunFiles(const std::wstring& listPath, const std::string& original,
                                          const std::vector<ResultItem>& items, bool english, std::string& error)
{
    std::vector<bool> written;
    for (const ResultItem& item : items) written.push_back(IsWrittenResult(item.result));
    SavedRunFiles saved{Beside(listPath, L"-results"), Beside(listPath, L"-retry"),
                        CountRetryRows(original, written)};
    if (!WriteWholeFile(saved.results, FormatResultsCsv(items, english))) {
        error = "cannot write " + WideToUtf8Text(saved.results);
        return std::nullopt;
    }
    if (!WriteWholeFile(saved.retry, BuildRetryList(original, written))) {
        error = "cannot write " + WideToUtf8Text(saved.retry);
        return std::nullopt;
    }
    return saved;
}

} // namespace trevanil_host
