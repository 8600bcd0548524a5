#include "dialog_driver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

constexpr auto kDeadline = std::chrono::seconds(30);

bool IsDialogClass(HWND wnd)
{
    wchar_t name[16] = {};
    return GetClassNameW(wnd, name, 16) > 0 && lstrcmpW(name, L"#32770") == 0;
}

struct ThreadWindows {
    std::vector<HWND> found;
    static BOOL CALLBACK Collect(HWND wnd, LPARAM self)
    {
        if (IsWindowVisible(wnd) && IsDialogClass(wnd)) reinterpret_cast<ThreadWindows*>(self)->found.push_back(wnd);
        return TRUE;
    }
};

} // namespace

bool DialogDriver::WaitUntil(const std::function<bool()>& done) const
{
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    for (;;) {
        if (done()) return true;
        if (m_runEnded || std::chrono::steady_clock::now() > deadline) return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::vector<HWND> DialogDriver::VisibleDialogs() const
{
    ThreadWindows windows;
    EnumThreadWindows(m_uiThread, ThreadWindows::Collect, reinterpret_cast<LPARAM>(&windows));
    return windows.found;
}

HWND DialogDriver::WaitLoginDialog() const
{
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND wnd : VisibleDialogs())
            if (Text(wnd) == L"对话框") { found = wnd; return true; }
        return false;
    });
    return found;
}

HWND DialogDriver::WaitMessageBox(HWND owner) const
{
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND wnd : VisibleDialogs())
            if (GetWindow(wnd, GW_OWNER) == owner) { found = wnd; return true; }
        return false;
    });
    return found;
}

bool DialogDriver::WaitGone(HWND wnd) const
{
    return WaitUntil([&] { return !IsWindow(wnd); });
}

bool DialogDriver::WaitFocus(HWND wnd) const
{
    return WaitUntil([&] { return Focus() == wnd; });
}

bool DialogDriver::WaitRunEnded() const
{
    WaitUntil([] { return false; });
    return m_runEnded;
}

HWND DialogDriver::Focus() const
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(m_uiThread, &info) ? info.hwndFocus : nullptr;
}

std::wstring DialogDriver::Text(HWND wnd)
{
    if (!wnd) return {};
    const int length = GetWindowTextLengthW(wnd);
    std::vector<wchar_t> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int copied = GetWindowTextW(wnd, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

void DialogDriver::SetItemText(HWND dlg, int id, const std::wstring& text)
{
    SetDlgItemTextW(dlg, id, text.c_str());
}

void DialogDriver::Press(HWND dlg, int id)
{
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

std::vector<std::wstring> DialogDriver::StaticTexts(HWND box)
{
    std::vector<std::wstring> texts;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16] = {};
        if (GetClassNameW(child, name, 16) > 0 && lstrcmpiW(name, L"Static") == 0) texts.push_back(Text(child));
    }
    return texts;
}

void DialogDriver::CloseAll() const
{
    if (WaitRunEnded()) return;
    ADD_FAILURE() << "the modal run was still open after its script: closing it";
    while (!m_runEnded) {
        for (HWND wnd : VisibleDialogs()) PostMessageW(wnd, WM_COMMAND, IDCANCEL, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

int RunModalWithImpl(const std::function<int()>& run, const std::function<void(DialogDriver&)>& script)
{
    std::atomic<bool> runEnded{false};
    DialogDriver driver(GetCurrentThreadId(), runEnded);
    std::thread worker([&] {
        script(driver);
        driver.CloseAll();
    });
    const int result = run();
    runEnded = true;
    worker.join();
    return result;
}
