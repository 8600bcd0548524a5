// Copies of zero-terminated texts into fixed fields that never overrun them.
#pragma once
#include <cstddef>
#include <cstring>

// A null text reads as an empty one.
inline const char* TextOrEmpty(const char* text) { return text ? text : ""; }

// Copies at most size-1 bytes of text and a terminator; the bytes after the
// terminator are left as they were.
inline void CopyTextTerminated(char* field, std::size_t size, const char* text)
{
    if (size == 0) return;
    const char* source = TextOrEmpty(text);
    std::size_t length = 0;
    while (length + 1 < size && source[length] != '\0') ++length;
    std::memcpy(field, source, length);
    field[length] = '\0';
}

// Zero-fills the field, then copies at most size-1 bytes of text (so it stays terminated).
inline void CopyTextZeroFilled(char* field, std::size_t size, const char* text)
{
    std::memset(field, 0, size);
    CopyTextTerminated(field, size, text);
}

template <std::size_t N>
void CopyTextZeroFilled(char (&field)[N], const char* text) { CopyTextZeroFilled(field, N, text); }
