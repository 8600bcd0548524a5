// orvex.dll as a host program sees it: loaded beside the test program, its flat
// exports looked up by name.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

using FlatArg = std::intptr_t;

// Every export is cdecl, so one call type with twelve words serves all of them (the
// export reads the ones it takes; the caller removes them all).
using FlatCall = std::int32_t (*)(FlatArg, FlatArg, FlatArg, FlatArg, FlatArg, FlatArg, FlatArg, FlatArg, FlatArg,
                                  FlatArg, FlatArg, FlatArg);
using FlatCall8 = std::uint8_t (*)(FlatArg, FlatArg, FlatArg, FlatArg, FlatArg, FlatArg, FlatArg, FlatArg, FlatArg,
                                   FlatArg, FlatArg, FlatArg);

HMODULE OrvexModule();
void* OrvexExport(const char* name);  // fails the test when missing

std::int32_t InitDll(const char* name, FlatArg init, FlatArg flag, std::int32_t* error);
std::int32_t ReleaseDll(std::int32_t* error);
std::int32_t FreeMedia();

// Releases whatever the libraries hold, until neither stand-in is loaded.
void ReleaseAllLibraries();

// The module that holds an address (null when none).
HMODULE ModuleOfAddress(const void* address);

// This program's directory, with its trailing backslash.
std::wstring ProgramDirectory();
