// The journal's file: opened for the whole run with write access of its own (a second
// host cannot write it meanwhile), appended to line by line, a line's bytes flushed to
// the disk when asked (once a row), a torn tail cut before anything is appended.
#pragma once
#include <string>
#include "activex/unique_handle.h"

namespace trevanil_host {

class CJournalFile {
public:
    enum class Open { Done, Busy, Failed };

    // A new, empty journal at `path` (an older one there is replaced).
    Open Create(const std::wstring& path, std::string& error);
    // The journal at `path` for appending, its bytes read into `bytes`.
    Open Reopen(const std::wstring& path, std::string& bytes, std::string& error);
    // Drops everything from `size` on (a torn last line).
    bool CutAt(std::size_t size, std::string& error);
    bool Append(const std::string& bytes, bool flush, std::string& error);
    bool IsOpen() const { return static_cast<bool>(m_file); }
    void Close() { m_file.reset(); }

private:
    Open Opened(const std::wstring& path, std::string& error);

    activex::UniqueFileHandle m_file;
    std::wstring m_path;
    std::size_t m_whole = 0;  // where the last whole line ends
    bool m_torn = false;      // an append failed part way
};

// A journal's bytes, read while its host may be appending; false when it cannot be read.
bool ReadJournalBytes(const std::wstring& path, std::string& bytes);

} // namespace trevanil_host
