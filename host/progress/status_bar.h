// The host window's status bar under the control: one line of text.
#pragma once
#include <windows.h>
#include <string>
#include "activex/unique_handle.h"

namespace trevanil_host {

// Owned by the host window's frame object, which outlives the bar's window.
class CStatusBar {
public:
    // Makes the bar at the bottom of `parent`; false when the system refuses.
    bool Create(HWND parent);
    HWND Window() const { return m_bar; }
    // Draws with a copy of the font of `window` (the batch dialog's, which shows both
    // languages' texts; the bar's own may have no Chinese characters).
    void UseFontOf(HWND window);
    bool HasOwnFont() const { return static_cast<bool>(m_font); }
    // Its height in pixels (0 without a bar).
    int Height() const;
    // Keeps it at the bottom after the parent's WM_SIZE.
    void OnParentSize();
    void SetText(const std::string& utf8);
    std::string Text() const { return m_text; }

private:
    HWND m_bar = nullptr;
    activex::UniqueFont m_font;
    std::string m_text;
};

} // namespace trevanil_host
