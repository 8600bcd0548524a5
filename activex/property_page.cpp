#include "property_page.h"
#include <cstring>
#include <cwchar>
#include <utility>

namespace activex {

PropertyPage::~PropertyPage() { Deactivate(); }

STDMETHODIMP PropertyPage::SetPageSite(IPropertyPageSite* site)
{
    m_site = ComPtr<IPropertyPageSite>(site);
    return S_OK;
}

STDMETHODIMP PropertyPage::Activate(HWND parent, LPCRECT rect, BOOL)
{
    if (!rect) return E_POINTER;
    if (m_hwnd) return E_UNEXPECTED;
    m_hwnd = CreateDialogParamW(m_info.module(), MAKEINTRESOURCEW(m_info.dialogId), parent, &DialogProc, 0);
    if (!m_hwnd) return E_OUTOFMEMORY;
    return Move(rect);
}

STDMETHODIMP PropertyPage::Deactivate()
{
    if (m_hwnd) DestroyWindow(std::exchange(m_hwnd, nullptr));
    return S_OK;
}

STDMETHODIMP PropertyPage::GetPageInfo(PROPPAGEINFO* info)
{
    if (!info) return E_POINTER;
    wchar_t title[128] = L"";
    LoadStringW(m_info.module(), m_info.titleStringId, title, 128);
    const size_t bytes = (std::wcslen(title) + 1) * sizeof(wchar_t);
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!copy) return E_OUTOFMEMORY;
    std::memcpy(copy, title, bytes);
    const LONG units = GetDialogBaseUnits();
    info->cb = sizeof(PROPPAGEINFO);
    info->pszTitle = copy;
    info->size.cx = MulDiv(m_info.sizeInDialogUnits.cx, LOWORD(units), 4);
    info->size.cy = MulDiv(m_info.sizeInDialogUnits.cy, HIWORD(units), 8);
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return S_OK;
}

STDMETHODIMP PropertyPage::SetObjects(ULONG count, IUnknown** objects)
{
    if (count && !objects) return E_POINTER;
    return Barrier("PropertyPage::SetObjects", [&] {
        std::vector<ComPtr<IUnknown>> held(objects, objects + count);
        m_objects.swap(held);
    });
}

STDMETHODIMP PropertyPage::Show(UINT cmdShow)
{
    if (!m_hwnd) return E_UNEXPECTED;
    ShowWindow(m_hwnd, cmdShow);
    return S_OK;
}

STDMETHODIMP PropertyPage::Move(LPCRECT rect)
{
    if (!rect) return E_POINTER;
    if (!m_hwnd) return E_UNEXPECTED;
    MoveWindow(m_hwnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
    return S_OK;
}

STDMETHODIMP PropertyPage::TranslateAccelerator(MSG* msg)
{
    if (!msg) return E_POINTER;
    return (m_hwnd && IsDialogMessageW(m_hwnd, msg)) ? S_OK : S_FALSE;
}

} // namespace activex
