// The orvex module's own handle (set when the DLL is loaded).
#pragma once
#include <windows.h>

HMODULE OrvexModuleHandle();
