// A read-only view of a constant table (an array with its size), for the layer's
// data-driven lookups: class factories, verbs. No end marker is needed.
#pragma once
#include <cstddef>

namespace activex {

template <class T>
class TableView {
public:
    constexpr TableView() = default;
    template <std::size_t N>
    constexpr TableView(const T (&rows)[N]) : m_rows(rows), m_size(N)  // NOLINT: a table converts implicitly
    {
    }
    constexpr const T* begin() const { return m_rows; }
    constexpr const T* end() const { return m_rows + m_size; }
    constexpr std::size_t size() const { return m_size; }

private:
    const T* m_rows = nullptr;
    std::size_t m_size = 0;
};

} // namespace activex
