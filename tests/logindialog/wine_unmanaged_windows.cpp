// Under Wine with a bare X server (no window manager), hiding a managed window waits
// two seconds for a manager that never answers. The test program's windows are
// therefore left unmanaged; the setting is Wine's per-program one and means
// nothing to Windows. It is written before the program makes its first window.
#include <windows.h>

namespace {

struct UnmanagedWindows {
    UnmanagedWindows()
    {
        wchar_t path[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return;
        const wchar_t* name = path;
        for (const wchar_t* p = path; *p; ++p)
            if (*p == L'\\' || *p == L'/') name = p + 1;
        wchar_t key[MAX_PATH + 64] = {};
        wsprintfW(key, L"Software\\Wine\\AppDefaults\\%s\\X11 Driver", name);
        static const wchar_t kNo[] = L"N";
        RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Managed", REG_SZ, kNo, sizeof kNo);
    }
} g_unmanagedWindows;

} // namespace
