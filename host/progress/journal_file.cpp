#include "journal_file.h"

#include <windows.h>
#include "progress/atomic_file.h"

namespace trevanil_host {
namespace {

constexpr std::size_t kMaxJournalBytes = std::size_t{1} << 30;

} // namespace

CJournalFile::Open CJournalFile::Opened(const std::wstring& path, std::string& error)
{
    if (m_file) {
        m_path = path;
        return Open::Done;
    }
    const bool busy = GetLastError() == ERROR_SHARING_VIOLATION;
    error = FileFailure(busy ? "another program is writing" : "cannot open", path);
    return busy ? Open::Busy : Open::Failed;
}

CJournalFile::Open CJournalFile::Create(const std::wstring& path, std::string& error)
{
    // Readers may look in; nobody else may write or delete it while the run goes on.
    m_file.reset(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    return Opened(path, error);
}

CJournalFile::Open CJournalFile::Reopen(const std::wstring& path, std::string& bytes, std::string& error)
{
    m_file.reset(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    const Open opened = Opened(path, error);
    if (opened != Open::Done) return opened;
    if (!ReadAllBytes(m_file.get(), bytes, kMaxJournalBytes)) {
        error = FileFailure("cannot read", path);
        m_file.reset();
        return Open::Failed;
    }
    return Open::Done;
}

bool CJournalFile::CutAt(std::size_t size, std::string& error)
{
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(m_file.get(), at, nullptr, FILE_BEGIN) || !SetEndOfFile(m_file.get())) {
        error = FileFailure("cannot cut the torn end of", m_path);
        return false;
    }
    m_torn = false;
    return true;
}

bool CJournalFile::Append(const std::string& bytes, bool flush, std::string& error)
{
    if (!m_file) {
        error = "the journal is not open";
        return false;
    }
    // A line a failed append left in part is cut first: the lines after it must count.
    if (m_torn && !CutAt(m_whole, error)) return false;
    LARGE_INTEGER zero{}, end{};
    if (!SetFilePointerEx(m_file.get(), zero, &end, FILE_END)) {
        error = FileFailure("cannot append to", m_path);
        return false;
    }
    m_whole = static_cast<std::size_t>(end.QuadPart);
    if (!WriteAllBytes(m_file.get(), bytes)) {
        error = FileFailure("cannot append to", m_path);
        m_torn = true;
        return false;
    }
    m_torn = false;
    if (flush && !FlushFileBuffers(m_file.get())) {
        error = FileFailure("cannot flush", m_path);
        return false;
    }
    return true;
}

bool ReadJournalBytes(const std::wstring& path, std::string& bytes)
{
    activex::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && ReadAllBytes(file.get(), bytes, kMaxJournalBytes);
}

} // namespace trevanil_host
