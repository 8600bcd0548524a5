// Drives the batch control's dialog the way an operator does: through its controls,
// found by their ids under the host window. Used by the host program's --write mode.
#pragma once
#include <windows.h>
#include <optional>
#include <string>
#include <vector>
#include "export/run_exports.h"

namespace trevanil_host {

struct DialogControls {
    HWND dialog = nullptr;
    HWND platformIp = nullptr;
    HWND platformPort = nullptr;
    HWND deviceList = nullptr;
    HWND write = nullptr;
    HWND cancel = nullptr;
    HWND list = nullptr;
};

// The device write dialog somewhere under `root`, once it exists.
std::optional<DialogControls> FindDeviceWriteDialog(HWND root);

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8Text(const std::wstring& text);

void SetControlText(HWND control, const std::string& utf8);
std::string ControlText(HWND control);
// Presses a button as a click would, after the current message is handled.
void PressButton(HWND button);

// The list's items, four columns each, as UTF-8: all of them, one, one column of one,
// and how many there are.
std::vector<ResultItem> ReadResultList(HWND list);
ResultItem ReadResultItem(HWND list, int index);
std::string ReadListText(HWND list, int index, int column);
int ResultItemCount(HWND list);

// A message box of this thread other than `except`: its caption and text, and it is
// closed with OK. Nothing when none is open.
struct MessageBoxText {
    std::string caption;
    std::string text;
};
std::optional<MessageBoxText> TakeMessageBox(HWND except);

} // namespace trevanil_host
