// A Win32 critical section (re-entrant) owned for its whole life, and a scoped hold on it.
// Only the log uses it: the log's lock must be re-entrant, because the crash filter
// writes its lines on the crashing thread, which may have crashed inside a log write and
// so still hold the lock. Everything else locks with std::mutex.
#pragma once
#include <windows.h>

class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&m_section); }
    ~CriticalSection() { DeleteCriticalSection(&m_section); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter() { EnterCriticalSection(&m_section); }
    void Leave() { LeaveCriticalSection(&m_section); }

private:
    CRITICAL_SECTION m_section;
};

class CriticalSectionHold {
public:
    explicit CriticalSectionHold(CriticalSection& section) : m_section(section) { m_section.Enter(); }
    ~CriticalSectionHold() { m_section.Leave(); }
    CriticalSectionHold(const CriticalSectionHold&) = delete;
    CriticalSectionHold& operator=(const CriticalSectionHold&) = delete;

private:
    CriticalSection& m_section;
};
