// Fixed, zero-filled 8-bit text buffers for the texts handed to the registry. A text
// that does not fit is refused, never cut.
#pragma once
#include <cstddef>
#include <cstring>
#include <string_view>

template <std::size_t N>
class TextBuffer {
public:
    static constexpr std::size_t kCapacity = N;

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

// Sizes of the texts below the control's interface (bytes, terminator included).
constexpr std::size_t kAddressTextSize = 32;   // device and platform IP address
constexpr std::size_t kPuIdTextSize = 33;      // PU id text and new device IP address
constexpr std::size_t kDeviceNameSize = 64;    // device name, UTF-8
constexpr std::size_t kLoginTextBytes = 128;   // user name and password, UTF-8
