// Drives a modal dialog of the test's UI thread from a second thread: finds the
// dialog and the message boxes it shows, types into its edits and presses buttons.
// Every wait gives up after a generous deadline or once the modal run has ended,
// and whatever is still open after a script is closed, so a failing test cannot hang.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

class DialogDriver {
public:
    DialogDriver(DWORD uiThread, const std::atomic<bool>& runEnded)
        : m_uiThread(uiThread), m_runEnded(runEnded) {}

    // The visible login dialog ("对话框") of the UI thread, or null.
    HWND WaitLoginDialog() const;
    // A visible message box owned by `owner`, or null.
    HWND WaitMessageBox(HWND owner) const;
    // True once `wnd` is destroyed.
    bool WaitGone(HWND wnd) const;
    // True once the UI thread's keyboard focus is on `wnd`.
    bool WaitFocus(HWND wnd) const;
    // True once the modal run has returned.
    bool WaitRunEnded() const;

    HWND Focus() const;
    // Top-level visible windows of the UI thread with the dialog class.
    std::vector<HWND> VisibleDialogs() const;

    static std::wstring Text(HWND wnd);
    static std::wstring ItemText(HWND dlg, int id) { return Text(GetDlgItem(dlg, id)); }
    static void SetItemText(HWND dlg, int id, const std::wstring& text);
    // What a click of the button `id` sends to its dialog.
    static void Press(HWND dlg, int id);
    // The static texts of a message box (its message among them).
    static std::vector<std::wstring> StaticTexts(HWND box);

    // Waits for the modal run to return; if it does not, reports a failure and
    // closes message boxes and dialogs until it has.
    void CloseAll() const;

private:
    bool WaitUntil(const std::function<bool()>& done) const;

    DWORD m_uiThread;
    const std::atomic<bool>& m_runEnded;
};

// Runs `prompt.DoModal()` on the calling thread while `script` drives the dialog
// from a second thread; returns DoModal's result.
template <typename Prompt>
int RunModalWith(Prompt& prompt, const std::function<void(DialogDriver&)>& script);

int RunModalWithImpl(const std::function<int()>& run, const std::function<void(DialogDriver&)>& script);

template <typename Prompt>
int RunModalWith(Prompt& prompt, const std::function<void(DialogDriver&)>& script)
{
    return RunModalWithImpl([&prompt] { return prompt.DoModal(); }, script);
}
