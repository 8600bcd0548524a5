#include "atomic_file.h"

#include <windows.h>
#include <shlobj.h>
#include <algorithm>
#include "activex/unique_handle.h"
#include "activex/wide_text.h"

namespace trevanil_host {
namespace {

bool MakeFolder(const std::wstring& path)
{
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

} // namespace

std::string FileFailure(const char* step, const std::wstring& path)
{
    const DWORD code = GetLastError();  // before anything else can change it
    return std::string(step) + " " + activex::Utf8FromWide(path) + " (error " + std::to_string(code) + ")";
}

bool ReadAllBytes(void* file, std::string& bytes, std::size_t maxBytes)
{
    bytes.clear();
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
        if (bytes.size() > maxBytes) return false;
    }
    return true;
}

bool WriteAllBytes(void* file, const std::string& bytes)
{
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - offset, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + offset, chunk, &written, nullptr) || written == 0) return false;
        offset += written;
    }
    return true;
}

bool ReplaceFileWhole(const std::wstring& path, const std::string& bytes, std::string& error)
{
    const std::wstring temporary = path + L".tmp";
    {
        activex::UniqueFileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            error = FileFailure("cannot create", temporary);
            return false;
        }
        if (!WriteAllBytes(file.get(), bytes)) {
            error = FileFailure("cannot write", temporary);
            file.reset();
            DeleteFileW(temporary.c_str());
            return false;
        }
        // On the disk before it takes the old file's name: a power loss must not leave
        // the new name on a file whose bytes never arrived.
        if (!FlushFileBuffers(file.get())) {
            error = FileFailure("cannot flush", temporary);
            file.reset();
            DeleteFileW(temporary.c_str());
            return false;
        }
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD code = GetLastError();
        error = FileFailure("cannot replace", path);
        DeleteFileW(temporary.c_str());
        SetLastError(code);  // the caller tells a file held open from other failures
        return false;
    }
    return true;
}

std::optional<std::wstring> ReplaceFileOrBeside(const std::wstring& path, const std::string& bytes, std::string& error)
{
    if (ReplaceFileWhole(path, bytes, error)) return path;
    const DWORD code = GetLastError();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    // Held open by a program: denied or shared; a folder of that name is not held, it is in the way.
    if ((code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION) ||
        (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)))
        return std::nullopt;
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::size_t dot = path.find_last_of(L'.');
    const bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
    const std::wstring stem = hasExtension ? path.substr(0, dot) : path;
    const std::wstring extension = hasExtension ? path.substr(dot) : std::wstring();
    std::string heldError = error;
    for (int n = 2; n <= 9; ++n) {
        const std::wstring other = stem + L" (" + std::to_wstring(n) + L")" + extension;
        if (ReplaceFileWhole(other, bytes, error)) {
            error = heldError;  // said with the path taken
            return other;
        }
    }
    error = heldError + "; " + error;
    return std::nullopt;
}

std::wstring UserHostFolder(const wchar_t* sub)
{
    wchar_t base[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, base)))
        return std::wstring();
    std::wstring folder = std::wstring(base) + L"\\trevanil";
    if (!MakeFolder(folder)) return std::wstring();
    if (sub) {
        folder += L"\\";
        folder += sub;
        if (!MakeFolder(folder)) return std::wstring();
    }
    return folder;
}

} // namespace trevanil_host
