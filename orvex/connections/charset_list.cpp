#include "charset_list.h"

#include <cstring>
#include <string>

namespace {

bool IsSeparator(char c) { return c == ' ' || c == ',' || c == '\t' || c == '\n'; }

char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool CharsetListNamesUtf8(const char* list, std::size_t size)
{
    if (!list) return false;
    std::string upper;
    for (std::size_t i = 0; i < size && list[i] != '\0'; ++i) upper.push_back(ToUpperAscii(list[i]));

    std::size_t start = 0;
    while (start < upper.size()) {
        std::size_t end = start;
        while (end < upper.size() && !IsSeparator(upper[end])) ++end;
        if (upper.compare(start, end - start, "UTF-8") == 0) return true;
        start = end + 1;
    }
    return false;
}
