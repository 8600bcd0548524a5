// Shared pieces of the login dialog tests: the control's window stand-in and
// conversions between the dialog's UTF-16 fields and Windows texts.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

// A hidden top-level window of the test thread standing in for the control's window.
class HostWindow {
public:
    HostWindow()
        : m_hwnd(CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr))
    {
    }
    ~HostWindow() { reset(); }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND get() const { return m_hwnd; }
    void reset()
    {
        if (m_hwnd) DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
    }

private:
    HWND m_hwnd;
};

inline std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
