// Finding windows by what the program knows of them.
#pragma once
#include <windows.h>

namespace activex {
namespace detail {

struct ChildSearch {
    int id;
    HWND found;
};

inline BOOL CALLBACK FindChildById(HWND window, LPARAM state)
{
    auto* search = reinterpret_cast<ChildSearch*>(state);
    if (GetDlgCtrlID(window) != search->id) return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace detail

// The first descendant of `root` with the control id `id`, or null.
inline HWND DescendantById(HWND root, int id)
{
    detail::ChildSearch search{id, nullptr};
    EnumChildWindows(root, &detail::FindChildById, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace activex
