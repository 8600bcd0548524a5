// Owners of Win32 handles: one template, and per kind of handle a traits class that
// says which value means "no handle" and how a handle is closed. Each owner closes its
// handle exactly once, on every path; moving hands the handle on.
//
//   activex::UniqueFileHandle file(CreateFileW(...));
//   if (!file) return HRESULT_FROM_WIN32(GetLastError());
//
// A new kind is one line of HandleTraits (or a traits struct with Handle, Invalid(),
// IsValid(h) and Close(h)).
#pragma once
#include <windows.h>
#include <utility>

namespace activex {

template <class Traits>
class UniqueAny {
public:
    using Handle = typename Traits::Handle;

    UniqueAny() = default;
    explicit UniqueAny(Handle handle) : m_handle(handle) {}
    ~UniqueAny() { reset(); }
    UniqueAny(UniqueAny&& other) noexcept : m_handle(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;

    Handle get() const { return m_handle; }
    explicit operator bool() const { return Traits::IsValid(m_handle); }
    // Closes the current handle and lends the slot to a function that fills it.
    Handle* put()
    {
        reset();
        return &m_handle;
    }
    Handle release() { return std::exchange(m_handle, Traits::Invalid()); }
    void reset(Handle handle = Traits::Invalid())
    {
        if (Traits::IsValid(m_handle)) Traits::Close(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle = Traits::Invalid();
};

// The traits of a handle type H closed by CloseFn, whose "no handle" is null, or also
// INVALID_HANDLE_VALUE (-1) when `minusOneIsNone` (CreateFile, FindFirstFile): a new kind
// of handle is one line.
template <class H, auto CloseFn, bool minusOneIsNone = false>
struct HandleTraits {
    using Handle = H;
    static Handle Invalid() { return minusOneIsNone ? reinterpret_cast<Handle>(INVALID_HANDLE_VALUE) : nullptr; }
    static bool IsValid(Handle h)
    {
        return h != nullptr && (!minusOneIsNone || h != reinterpret_cast<Handle>(INVALID_HANDLE_VALUE));
    }
    static void Close(Handle h) { CloseFn(h); }
};

// Threads, processes, events, mutexes; files; LoadLibrary results (one reference each);
// FindFirstFile searches; registry keys; GDI objects the caller made; memory DCs.
using UniqueHandle = UniqueAny<HandleTraits<HANDLE, &CloseHandle>>;
using UniqueFileHandle = UniqueAny<HandleTraits<HANDLE, &CloseHandle, true>>;
using UniqueHModule = UniqueAny<HandleTraits<HMODULE, &FreeLibrary>>;
using UniqueFindHandle = UniqueAny<HandleTraits<HANDLE, &FindClose, true>>;
using UniqueHKey = UniqueAny<HandleTraits<HKEY, &RegCloseKey>>;
using UniqueBitmap = UniqueAny<HandleTraits<HBITMAP, &DeleteObject>>;
using UniqueBrush = UniqueAny<HandleTraits<HBRUSH, &DeleteObject>>;
using UniqueFont = UniqueAny<HandleTraits<HFONT, &DeleteObject>>;
using UniqueMemoryDc = UniqueAny<HandleTraits<HDC, &DeleteDC>>;

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~WindowDc()
    {
        if (m_dc) ReleaseDC(m_window, m_dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HWND m_window;
    HDC m_dc;
};

// An object selected into a device context until the end of the scope, when the one it
// replaced is selected again (before the object itself may be deleted).
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~SelectedObject()
    {
        if (m_previous && m_previous != HGDI_ERROR) SelectObject(m_dc, m_previous);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

} // namespace activex
