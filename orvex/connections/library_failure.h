// How a device adapter reports a failed library call of one of its operations: the
// caller's code from the library's value (-1 first, then the translation) and one log
// line under the operation's name, formatted with that value, the code, then `more`.
#pragma once
#include "diag/write_log.h"

class LibraryFailure {
public:
    constexpr LibraryFailure(const char* function, void (*setCode)(int*, int))
        : m_function(function), m_setCode(setCode) {}

    template <typename... More>
    bool operator()(int* errPu, int libraryValue, const char* format, More... more) const
    {
        m_setCode(errPu, libraryValue);
        ORVEX_LOGF(m_function, format, libraryValue, *errPu, more...);
        return false;  // the operation's result
    }

private:
    const char* m_function;
    void (*m_setCode)(int* errPu, int libraryValue);
};
