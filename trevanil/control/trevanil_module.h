// The module handle of trevanil.dll, for its resources and its path.
#pragma once
#include <windows.h>

HMODULE TrevanilModuleHandle();
