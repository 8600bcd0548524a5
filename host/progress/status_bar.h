// The host window's status bar under the control: one line of text.
#pragma once
#include <windows.h>
#include <string>

namespace trevanil_host {

class CStatusBar {
public:
    // Makes the bar at the bottom of `parent`; false when the system refuses.
    bool Create(HWND parent);
    HWND Window() const { return m_bar; }
    // Its height in pixels (0 without a bar).
    int Height() const;
    // Keeps it at the bottom after the parent's WM_SIZE.
    void OnParentSize();
    void SetText(const std::string& utf8);
    std::string Text() const { return m_text; }

private:
    HWND m_bar = nullptr;
    std::string m_text;
};

} // namespace trevanil_host
