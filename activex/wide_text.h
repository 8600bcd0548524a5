// Conversions between the system's UTF-16 texts and narrow texts (UTF-8 or a code page),
// for the window and COM code of both modules and the host program.
#pragma once
#include <windows.h>
#include <string>
#include <string_view>

namespace activex {

// `text` in code page `codePage` (CP_UTF8, CP_ACP, ...) as UTF-16; empty when it cannot be read.
inline std::wstring WideFromNarrow(std::string_view text, UINT codePage = CP_UTF8)
{
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

inline std::string Utf8FromWide(std::wstring_view text)
{
    if (text.empty()) return {};
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr,
                        nullptr);
    return narrow;
}

// A window's text.
inline std::wstring WindowTextOf(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

} // namespace activex
