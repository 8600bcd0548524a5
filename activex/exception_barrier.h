// The one exception barrier for entry points from COM or Windows (COM methods, the Dll*
// exports, class factories, window and dialog procedures, thread and timer callbacks).
// A C++ exception that unwinds into the COM runtime, a host's message loop or the
// system's thread start ends the host program; the barrier turns it into a result
// instead and writes one log line. Every entry point that can throw (that allocates or
// calls code that may) runs behind it. The others rely on not throwing and go without:
// IUnknown's methods, and the OLE state methods of OleControl and the property page that
// only read or store a value, hand out a pointer or forward to the container.
//
//   STDMETHODIMP CFoo::Bar(...)
//   {
//       return activex::Barrier("CFoo::Bar", [&] { ...; return S_OK; });
//   }
//   LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
//   {
//       return activex::WindowBarrier("Proc", [&] { ... },
//                                     [&] { return DefWindowProcW(h, m, w, l); });
//   }
//
// std::bad_alloc becomes E_OUTOFMEMORY, anything else E_UNEXPECTED. Only C++ exceptions
// are caught: access violations stay with the process's crash filter.
#pragma once
#include <windows.h>
#include <type_traits>

namespace activex {

// Writes one line naming where an exception was caught and what it was. The module
// sets it once (to its log writer); until then nothing is written. Must not throw.
using BarrierLog = void (*)(const char* where, const char* message) noexcept;
void SetBarrierLog(BarrierLog log) noexcept;

// Inside a catch block only: the HRESULT for the exception being handled, after one
// line through the barrier log that ends with `outcome` (null: the HRESULT returned).
HRESULT CaughtToHResult(const char* where, const char* outcome = nullptr) noexcept;

// Runs `body` (returning HRESULT, or nothing for S_OK).
template <class Body>
HRESULT Barrier(const char* where, Body&& body) noexcept
{
    try {
        if constexpr (std::is_void_v<std::invoke_result_t<Body&>>) {
            body();
            return S_OK;
        } else {
            return body();
        }
    } catch (...) {
        return CaughtToHResult(where);
    }
}

// For window and dialog procedures: after an exception, the default handling that
// `fallback` gives (DefWindowProc, the subclassed procedure, FALSE for a dialog).
// `fallback` must not throw.
template <class Body, class Fallback>
auto WindowBarrier(const char* where, Body&& body, Fallback&& fallback) noexcept -> decltype(fallback())
{
    try {
        return body();
    } catch (...) {
        CaughtToHResult(where, "default handling");
    }
    return fallback();
}

// For thread procedures, timer and thread-pool callbacks: the callback ends after an
// exception. False when one was caught.
template <class Body>
bool CallbackBarrier(const char* where, Body&& body) noexcept
{
    try {
        body();
        return true;
    } catch (...) {
        CaughtToHResult(where, "callback ended");
        return false;
    }
}

} // namespace activex
