// Owners for what our COM code holds: BSTR, VARIANT and COM interface pointers, and
// (from unique_handle.h) the Win32 handles. Each frees exactly once.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>
#include <utility>
#include "unique_handle.h"

namespace activex {

// An owned BSTR. Made from a text it holds a copy; put() lends the slot to a function
// that hands out a BSTR.
class UniqueBstr : public UniqueAny<HandleTraits<BSTR, &SysFreeString>> {
public:
    UniqueBstr() = default;
    explicit UniqueBstr(const wchar_t* text) : UniqueAny(SysAllocString(text ? text : L"")) {}
    // A null BSTR is the empty text.
    const wchar_t* c_str() const { return get() ? get() : L""; }
};

class UniqueVariant {
public:
    UniqueVariant() { VariantInit(&m_var); }
    ~UniqueVariant() { VariantClear(&m_var); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;

    VARIANT* get() { return &m_var; }
    const VARIANT* get() const { return &m_var; }
    VARIANT* put() { VariantClear(&m_var); return &m_var; }

private:
    VARIANT m_var;
};

// A reference-counted interface pointer.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(T* p) : m_p(p) { if (m_p) m_p->AddRef(); }
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr& other) : ComPtr(other.m_p) {}
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept { std::swap(m_p, other.m_p); return *this; }

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    T** put() { reset(); return &m_p; }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void reset() { if (m_p) std::exchange(m_p, nullptr)->Release(); }
    T* detach() { return std::exchange(m_p, nullptr); }

    template <typename U>
    HRESULT As(REFIID iid, ComPtr<U>& out) const
    {
        return m_p ? m_p->QueryInterface(iid, out.put_void()) : E_POINTER;
    }

private:
    T* m_p = nullptr;
};

} // namespace activex
