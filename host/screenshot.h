// A PNG picture of a window as it stands on the screen.
#pragma once
#include <windows.h>
#include <string>

namespace trevanil_host {

// Brings the window to the top, lets it paint, copies its screen area and writes it as
// PNG to `path`. False when any step fails.
bool SaveWindowPng(HWND window, const std::wstring& path);

} // namespace trevanil_host
