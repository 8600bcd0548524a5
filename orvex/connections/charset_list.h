// The older-protocol device's list of supported character sets.
#pragma once
#include <cstddef>

// True when the list (at most size bytes, zero-terminated within them or not) names
// UTF-8: the text is upper-cased and split at blanks, commas, tabs and line feeds, and
// a token equal to "UTF-8" counts. An empty list gives false.
bool CharsetListNamesUtf8(const char* list, std::size_t size);
