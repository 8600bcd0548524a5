// devsim.exe: the Windows entry point takes UTF-16 arguments and hands them on as UTF-8,
// the encoding of the store.
#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "devsim_tool.h"
#include "store.h"

namespace {
std::string ToUtf8(const wchar_t* text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(size - 1));
    return out;
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(ToUtf8(argv[i]));
    devsim::Store store = devsim::Store::FromEnvironment();
    return devsim::RunDevsimTool(args, store, std::cout, std::cerr);
}
