#include "module_title.h"

std::u16string ModuleTitleFromPath(std::u16string_view path)
{
    const auto slash = path.find_last_of(u"\\/:");
    std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind(u'.');
    // A leading dot names a file without an extension (".profile").
    if (dot != std::u16string_view::npos && dot != 0) name = name.substr(0, dot);
    return std::u16string(name);
}
