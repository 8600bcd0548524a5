// Reading fields out of the bytes a fake device holds.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

inline std::uint32_t U32At(const std::vector<std::uint8_t>& bytes, int offset)
{
    std::uint32_t value;
    std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

// An IPv4 address's four bytes as they lie in memory, read as one 32-bit value.
inline std::uint32_t MemoryOf(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d)
{
    const std::uint8_t bytes[4] = {a, b, c, d};
    std::uint32_t value;
    std::memcpy(&value, bytes, 4);
    return value;
}

inline std::uint16_t U16At(const std::vector<std::uint8_t>& bytes, int offset)
{
    std::uint16_t value;
    std::memcpy(&value, bytes.data() + offset, 2);
    return value;
}

inline std::vector<std::uint8_t> BytesAt(const std::vector<std::uint8_t>& bytes, int offset, int count)
{
    return std::vector<std::uint8_t>(bytes.begin() + offset, bytes.begin() + offset + count);
}

// The bytes of a text followed by zeros up to count.
inline std::vector<std::uint8_t> TextPadded(const std::string& text, int count)
{
    std::vector<std::uint8_t> bytes(count, 0);
    std::memcpy(bytes.data(), text.data(), text.size());
    return bytes;
}

// An address's four parts as they lie in memory in network order.
inline std::uint32_t NetworkOrder(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d)
{
    const std::uint8_t parts[4] = {a, b, c, d};
    std::uint32_t value;
    std::memcpy(&value, parts, 4);
    return value;
}

inline void PutText(std::vector<std::uint8_t>& bytes, int offset, const std::string& text)
{
    std::memcpy(bytes.data() + offset, text.c_str(), text.size() + 1);
}
