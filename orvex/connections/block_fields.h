// Fields of a device's configuration group or settings block, addressed by byte
// offset. Blocks are byte buffers, so fields are read and written with memcpy
// (no alignment assumed); the byte order is the caller's business.
#pragma once
#include <cstring>

template <typename T>
void PutField(unsigned char* block, int offset, T value) { std::memcpy(block + offset, &value, sizeof value); }

template <typename T>
T GetField(const unsigned char* block, int offset)
{
    T value;
    std::memcpy(&value, block + offset, sizeof value);
    return value;
}

inline char* TextField(unsigned char* block, int offset) { return reinterpret_cast<char*>(block + offset); }
