// Replacing a file whole: the new bytes go to "<path>.tmp", are flushed to the disk, and
// that file then takes the old one's place in one step. A process killed at any instant,
// or a power loss, leaves the old file or the new one, never a part of either.
#pragma once
#include <cstddef>
#include <optional>
#include <string>

namespace trevanil_host {

// A step on a file that failed, with the system's error: "cannot open C:\x (error 5)".
std::string FileFailure(const char* step, const std::wstring& path);

// The file's bytes from its position to its end, into `bytes`; false when there are more
// than `maxBytes`. A read refused part way ends them there.
bool ReadAllBytes(void* file, std::string& bytes, std::size_t maxBytes);

// Writes all of `bytes` at the file's position, in pieces a WriteFile takes; false (with
// GetLastError) when a piece is refused, after which part of them may be in the file.
bool WriteAllBytes(void* file, const std::string& bytes);

// False (the old file left as it was) when any step fails; `error` then says which.
bool ReplaceFileWhole(const std::wstring& path, const std::string& bytes, std::string& error);

// As ReplaceFileWhole; where the file cannot be replaced because another program holds
// it open (a spreadsheet program does, without delete sharing), the bytes go beside it
// as "<name> (2).csv" ... "(9)". The path written, or nothing with `error`.
std::optional<std::wstring> ReplaceFileOrBeside(const std::wstring& path, const std::string& bytes, std::string& error);

// The user's own folder for the host's files: %LOCALAPPDATA%\trevanil (made when missing),
// with `sub` below it when given. Empty when there is none.
std::wstring UserHostFolder(const wchar_t* sub = nullptr);

} // namespace trevanil_host
