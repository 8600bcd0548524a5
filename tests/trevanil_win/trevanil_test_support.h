// Support for the batch control's Windows tests: programs run with their output in a
// file, the two modules registered from beside the test program, the registry as
// HKEY_CLASSES_ROOT shows it, a message pump, and message boxes read and closed.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include "com_test_support.h"

namespace trevanil_test {

using orvex_test::ComPtr;

using orvex_test::RunProgram;

// regsvr32 /s [/u] on a module beside the test program.
DWORD Regsvr32(const wchar_t* module, bool unregister);
// orvex.dll and trevanil.dll beside the program, registered through their own entry
// points (quicker than regsvr32 for tests that only need them registered).
bool RegisterModules();

// Forgets the run records the host keeps in this user's folder, so that no run of an
// earlier test (or an earlier run of the tests) is taken for an unfinished one.
void ForgetRunRecords();

bool KeyExists(const std::wstring& path);
// A REG_SZ value under HKEY_CLASSES_ROOT, or "<missing>".
std::wstring KeyValue(const std::wstring& path, const wchar_t* name = nullptr);

std::wstring GuidText(const GUID& guid);

// Handles this thread's messages until `done` answers true or `limitMs` have passed.
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs);
// Handles every message already queued for this thread.
void PumpPending();

// Calls `trigger` (which may run a modal dialog of this thread) and hands the first
// dialog window of this thread that shows to `handle`, which must end it; false when
// none came and went within `limitMs`.
bool HandleDialogDuring(const std::function<void()>& trigger, const std::function<void(HWND)>& handle,
                        DWORD limitMs = 10000);

struct MessageBoxSeen {
    std::wstring caption;
    std::wstring text;
};
// Calls `trigger` (which may show a modal message box of this thread) and closes the
// first message box that appears with OK; what it showed, or nothing when no box came
// within `limitMs`.
bool TakeMessageBoxDuring(const std::function<void()>& trigger, MessageBoxSeen& seen, DWORD limitMs = 10000);

std::wstring WindowTextOf(HWND window);
// A visible top-level window of process `processId` of the class ("#32770": a dialog or
// message box) whose owner is `owner` (null: any); null when there is none.
HWND ProcessWindow(DWORD processId, const wchar_t* className, HWND owner = nullptr);
std::string Utf8(const std::wstring& text);

// Writes bytes to a file; false when it cannot.
bool WriteBytes(const std::wstring& path, const std::string& bytes);

} // namespace trevanil_test
