// The check before writing, from the command line (--check) and from the host window's
// menu. Neither starts a run nor changes the dialog.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

#include "check_options.h"

namespace trevanil_host {

// The whole --check command: its arguments parsed (a message and the usage on standard
// error, and 2, when they are bad), then RunCheckCommand.
int RunCheckArguments(const std::vector<std::string>& args);

// Reads the list, prints a line per row, the duplicates and the summary to standard
// output; returns the exit code (0, 1, or 2 when the file cannot be read).
int RunCheckCommand(const CheckOptions& options);

// The window's menu with its one command, "Check device list..." in the language, and
// the frame grown so that the control keeps its room.
void AttachCheckMenu(HWND frame, int language);
// True for the WM_COMMAND id of that menu command.
bool IsCheckMenuCommand(WPARAM wp);
// The menu command: checks the list named in the dialog under `frame` (or one the
// operator picks when the path is empty) against the platform address typed there, and
// shows the summary and the rows with problems in a message box (after Write's own
// message when Write would refuse that address or port).
void RunCheckFromWindow(HWND frame, int language);

} // namespace trevanil_host
