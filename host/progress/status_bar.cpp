#include "status_bar.h"

#include <commctrl.h>
#include "activex/wide_text.h"

namespace trevanil_host {

bool CStatusBar::Create(HWND parent)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    m_bar = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    return m_bar != nullptr;
}

void CStatusBar::UseFontOf(HWND window)
{
    // A copy of its own, so the bar never draws with a font its owner has deleted.
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    LOGFONTW description{};
    if (!m_bar || !font || !GetObjectW(font, sizeof description, &description)) return;
    activex::UniqueFont copy(CreateFontIndirectW(&description));
    if (!copy) return;
    SendMessageW(m_bar, WM_SETFONT, reinterpret_cast<WPARAM>(copy.get()), TRUE);
    m_font = std::move(copy);
}

int CStatusBar::Height() const
{
    RECT rect{};
    if (!m_bar || !GetWindowRect(m_bar, &rect)) return 0;
    return rect.bottom - rect.top;
}

void CStatusBar::OnParentSize()
{
    // The bar places itself at the bottom of its parent on any WM_SIZE.
    if (m_bar) SendMessageW(m_bar, WM_SIZE, 0, 0);
}

void CStatusBar::SetText(const std::string& utf8)
{
    m_text = utf8;
    if (m_bar) SendMessageW(m_bar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(activex::WideFromNarrow(utf8).c_str()));
}

} // namespace trevanil_host
