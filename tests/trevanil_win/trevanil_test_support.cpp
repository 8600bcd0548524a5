#include "trevanil_test_support.h"

#include "activex/raii.h"
#include "activex/unique_handle.h"
#include <shlobj.h>

namespace trevanil_test {

DWORD Regsvr32(const wchar_t* module, bool unregister)
{
    const std::wstring dir = orvex_test::ProgramDir();
    return RunProgram(std::wstring(L"regsvr32.exe /s ") + (unregister ? L"/u " : L"") + L"\"" + dir + module + L"\"",
                      dir + L"regsvr32.txt");
}

void ForgetRunRecords()
{
    wchar_t base[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base))) return;
    const std::wstring folder = std::wstring(base) + L"\\trevanil\\runs\\";
    WIN32_FIND_DATAW found{};
    activex::UniqueFindHandle search(FindFirstFileW((folder + L"*").c_str(), &found));
    if (!search) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(search.get(), &found));
}

bool RegisterModules()
{
    for (const wchar_t* name : {L"orvex.dll", L"trevanil.dll"}) {
        activex::UniqueHModule module(LoadLibraryW((orvex_test::ProgramDir() + name).c_str()));
        if (!module) return false;
        using EntryPoint = HRESULT(WINAPI*)();
        auto registerServer =
            reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(module.get(), "DllRegisterServer")));
        if (!registerServer || registerServer() != S_OK) return false;
    }
    return true;
}

bool KeyExists(const std::wstring& path)
{
    activex::UniqueHKey key;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

std::wstring KeyValue(const std::wstring& path, const wchar_t* name)
{
    wchar_t value[512] = L"";
    DWORD size = sizeof(value) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return value;
}

std::wstring GuidText(const GUID& guid)
{
    wchar_t text[64] = L"";
    StringFromGUID2(guid, text, 64);
    return text;
}

void PumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD limitMs)
{
    const ULONGLONG end = GetTickCount64() + limitMs;
    for (;;) {
        PumpPending();
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

namespace {

struct DialogWatch {
    std::function<void(HWND)> handle;
    HWND dialog = nullptr;
};
thread_local DialogWatch* t_watch = nullptr;

BOOL CALLBACK FindDialog(HWND window, LPARAM found)
{
    wchar_t className[16] = L"";
    GetClassNameW(window, className, 16);
    if (wcscmp(className, L"#32770") == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK WatchForDialog(HWND, UINT, UINT_PTR, DWORD)
{
    if (!t_watch || t_watch->dialog) return;
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    t_watch->dialog = dialog;
    t_watch->handle(dialog);
}

} // namespace

bool HandleDialogDuring(const std::function<void()>& trigger, const std::function<void(HWND)>& handle, DWORD limitMs)
{
    DialogWatch watch;
    watch.handle = handle;
    t_watch = &watch;
    // A thread timer: the dialog's own modal loop runs it.
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, &WatchForDialog);
    trigger();
    const bool closed = PumpUntil([&] { return watch.dialog && !IsWindow(watch.dialog); }, limitMs);
    KillTimer(nullptr, timer);
    t_watch = nullptr;
    return closed;
}

bool TakeMessageBoxDuring(const std::function<void()>& trigger, MessageBoxSeen& seen, DWORD limitMs)
{
    bool isMessageBox = false;
    const bool closed = HandleDialogDuring(
        trigger,
        [&](HWND box) {
            // A message box shows its text in the static control with id 0xFFFF.
            isMessageBox = GetDlgItem(box, 0xFFFF) != nullptr;
            seen.caption = WindowTextOf(box);
            seen.text = WindowTextOf(GetDlgItem(box, 0xFFFF));
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        },
        limitMs);
    return closed && isMessageBox;
}

namespace {

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM state)
{
    auto* search = reinterpret_cast<WindowSearch*>(state);
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    if (id != search->processId || wcscmp(name, search->className) != 0 || !IsWindowVisible(window)) return TRUE;
    if (search->owner && GetWindow(window, GW_OWNER) != search->owner) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND ProcessWindow(DWORD processId, const wchar_t* className, HWND owner)
{
    WindowSearch search{processId, className, owner, nullptr};
    EnumWindows(&FindProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring WindowTextOf(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

std::string Utf8(const std::wstring& text)
{
    if (text.empty()) return {};
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length, nullptr, nullptr);
    return out;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    activex::UniqueFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

} // namespace trevanil_test
