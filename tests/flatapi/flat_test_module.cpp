#include "flat_test_module.h"

#include <gtest/gtest.h>

HMODULE OrvexModule()
{
    static HMODULE module = LoadLibraryW(L"orvex.dll");
    return module;
}

void* OrvexExport(const char* name)
{
    void* address = reinterpret_cast<void*>(GetProcAddress(OrvexModule(), name));
    EXPECT_NE(nullptr, address) << name;
    return address;
}

std::int32_t InitDll(const char* name, FlatArg init, FlatArg flag, std::int32_t* error)
{
    auto call = reinterpret_cast<FlatCall>(OrvexExport("IPC_InitDll"));
    return call(reinterpret_cast<FlatArg>(name), init, flag, reinterpret_cast<FlatArg>(error), 0, 0, 0, 0, 0, 0, 0,
                0);
}

std::int32_t ReleaseDll(std::int32_t* error)
{
    auto call = reinterpret_cast<FlatCall>(OrvexExport("IPC_ReleaseDll"));
    return call(reinterpret_cast<FlatArg>(error), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
}

std::int32_t FreeMedia()
{
    auto call = reinterpret_cast<FlatCall>(OrvexExport("MED_FreeMedia"));
    return call(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
}

void ReleaseAllLibraries()
{
    for (int i = 0; i < 8 && (GetModuleHandleW(L"ravicore.dll") || GetModuleHandleW(L"ravimedia.dll")); ++i) {
        std::int32_t error = 0;
        ReleaseDll(&error);
        FreeMedia();
    }
    // A library loaded twice keeps one reference after its slot has emptied.
    for (const wchar_t* name : {L"ravicore.dll", L"ravimedia.dll"})
        while (HMODULE module = GetModuleHandleW(name)) FreeLibrary(module);
}

HMODULE ModuleOfAddress(const void* address)
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCWSTR>(address), &module);
    return module;
}

std::wstring ProgramDirectory()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path);
    return text.substr(0, text.find_last_of(L'\\') + 1);
}
