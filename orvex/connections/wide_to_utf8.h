// UTF-16 text to UTF-8 in a fixed buffer, all or nothing.
#pragma once
#include <cstddef>

// Converts the zero-terminated UTF-16 text into buffer (capacity bytes) and returns
// the bytes written including the terminator. Returns 0 and leaves the buffer empty
// (when it has room for the terminator) when the text is null or empty or when the
// converted text with its terminator would not fit: a text is never cut. An unpaired
// surrogate becomes U+FFFD, as the system's converter does.
int WideToUtf8(const char16_t* wide, char* buffer, std::size_t capacity);
