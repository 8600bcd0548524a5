// The login dialog's resources are linked into the test program itself.
#include "orvex_module.h"

HMODULE OrvexModuleHandle() { return GetModuleHandleW(nullptr); }
