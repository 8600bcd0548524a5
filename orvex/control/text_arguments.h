// Fixed, zero-filled 8-bit text buffers for the texts handed to the registry. A text
// that does not fit is refused, never cut.
#pragma once
#include <cstddef>
#include <cstring>
#include <string_view>
#include "connections/pu_types.h"  // the texts' sizes

template <std::size_t N>
class TextBuffer {
public:
    // Copies `text` with its terminator; false (buffer left empty) when it needs more than N bytes.
    bool Assign(std::string_view text)
    {
        std::memset(m_text, 0, N);
        if (text.size() >= N) return false;
        std::memcpy(m_text, text.data(), text.size());
        return true;
    }
    char* data() { return m_text; }
    const char* c_str() const { return m_text; }

private:
    char m_text[N] = {};
};
