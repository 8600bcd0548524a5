// The full path of a library in the host program's directory.
#pragma once
#include <cstddef>

// Copies exePath up to and including its last backslash into buffer and appends
// name. False, with an empty buffer, when the result with its terminator would not
// fit in capacity bytes (nothing is written beyond the buffer).
bool BuildLibraryPath(char* buffer, std::size_t capacity, const char* exePath, const char* name);
