#include "library_path.h"

#include <cstring>

bool BuildLibraryPath(char* buffer, std::size_t capacity, const char* exePath, const char* name)
{
    if (capacity == 0) return false;
    buffer[0] = '\0';
    if (!exePath || !name) return false;

    const char* lastSlash = std::strrchr(exePath, '\\');
    const std::size_t dirLength = lastSlash ? static_cast<std::size_t>(lastSlash - exePath) + 1 : 0;
    const std::size_t nameLength = std::strlen(name);
    if (dirLength + nameLength + 1 > capacity) return false;

    std::memcpy(buffer, exePath, dirLength);
    std::memcpy(buffer + dirLength, name, nameLength + 1);
    return true;
}
