#include "check_command.h"

#include <commdlg.h>
#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "activex/unique_handle.h"
#include "activex/wide_text.h"
#include "check_report.h"
#include "console_out.h"
#include "dialog_automation.h"
#include "host_command_ids.h"
#include "input_checks.h"
#include "pattern_matcher.h"
#include "host_texts.h"
#include "ui_texts.h"

namespace trevanil_host {
namespace {

constexpr std::size_t kProblemLinesShown = 30;  // a message box taller than the screen shows nothing below

using UniqueMenu = activex::UniqueAny<activex::HandleTraits<HMENU, &DestroyMenu>>;

FieldToUtf8 FieldConverter(TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8) return [](const std::string& text) { return text; };
    return [](const std::string& text) {
        // ASCII reads the same in every ANSI code page: most fields need no conversion.
        if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            return text;
        return activex::Utf8FromWide(activex::WideFromNarrow(text, CP_ACP));
    };
}

// The path the operator picks in the file-open dialog; empty when cancelled.
std::string PickList(HWND owner, int language)
{
    const std::wstring filter = FileDialogFilter(Utf8ToWide(LanguageTextsFor(language).ui.fileFilter));
    wchar_t path[MAX_PATH * 4] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = path;
    ofn.nMaxFile = static_cast<DWORD>(std::size(path));
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
    return GetOpenFileNameW(&ofn) ? activex::Utf8FromWide(path) : std::string();
}

} // namespace

int RunCheckArguments(const std::vector<std::string>& args)
{
    std::string error;
    const std::optional<CheckOptions> options = ParseCheckOptions(args, error);
    if (!options) {
        PrintError("trevanil_host: " + error);
        PrintError(CheckUsage());
        return 2;
    }
    return RunCheckCommand(*options);
}

int RunCheckCommand(const CheckOptions& options)
{
    const std::optional<DeviceList> list = TryReadDeviceListFile(options.file);
    if (!list) {
        PrintError("trevanil_host: " + CannotReadText(options.language, options.file));
        return 2;
    }
    const ListCheck check = CheckDeviceList(*list, options.platform);
    // One write for the whole report: a large list prints quickly.
    std::string text;
    for (const std::string& line : FormatCheckLines(check, options.language, FieldConverter(list->encoding)))
        text += line + "\n";
    if (!text.empty()) text.pop_back();  // PrintLine ends the last line
    PrintLine(text);
    return CheckExitCode(check);
}

void AttachCheckMenu(HWND frame, int language)
{
    UniqueMenu bar(CreateMenu());
    UniqueMenu list(CreatePopupMenu());
    if (!bar || !list) return;
    const HostTexts& texts = HostTextsFor(language);
    const std::wstring command = Utf8ToWide(FillText(texts.checkCommand, {CheckTitle(language)}));
    if (!AppendMenuW(list.get(), MF_STRING, kCheckCommandId, command.c_str()) ||
        !AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(list.get()),
                     Utf8ToWide(texts.listMenu).c_str()))
        return;
    list.release();  // the bar owns it now
    RECT before{}, after{};
    GetClientRect(frame, &before);
    if (!SetMenu(frame, bar.get())) return;
    bar.release();  // the window owns it now, and destroys it with itself
    // The frame grows by the menu bar, so the control keeps its room.
    GetClientRect(frame, &after);
    RECT window{};
    GetWindowRect(frame, &window);
    SetWindowPos(frame, nullptr, 0, 0, window.right - window.left,
                 window.bottom - window.top + (before.bottom - after.bottom), SWP_NOMOVE | SWP_NOZORDER);
}

bool IsCheckMenuCommand(WPARAM wp) { return LOWORD(wp) == kCheckCommandId && HIWORD(wp) == 0; }

void RunCheckFromWindow(HWND frame, int language)
{
    const std::wstring title = Utf8ToWide(CheckTitle(language));
    std::optional<DialogPlatform> platform;
    std::string path, refused;
    if (const auto dialog = FindDeviceWriteDialog(frame)) {
        path = ControlText(dialog->deviceList);
        DialogPlatform typed{ControlText(dialog->platformIp), ControlText(dialog->platformPort)};
        // The typed address counts when Write would accept it; otherwise the box starts
        // with Write's own message. (The path is looked at below: a stand-in passes here.)
        const std::unique_ptr<IPatternMatcher> pattern = CompilePattern(kPlatformIpPattern);
        const UiTextSlot failed = pattern ? CheckStartInputs({typed.ip, typed.port, "-"}, *pattern) : nullptr;
        if (pattern && !failed) platform = typed;
        if (failed) refused = std::string(LanguageTextsFor(language).ui.*failed) + "\n";
    }
    if (path.empty()) path = PickList(frame, language);
    if (path.empty()) return;
    const std::optional<DeviceList> list = TryReadDeviceListFile(path);
    if (!list) {
        MessageBoxW(frame, Utf8ToWide(CannotReadText(language, path)).c_str(), title.c_str(), MB_OK | MB_ICONERROR);
        return;
    }
    const ListCheck check = CheckDeviceList(*list, platform);
    const std::string text =
        refused + FormatProblems(check, language, FieldConverter(list->encoding), kProblemLinesShown);
    MessageBoxW(frame, Utf8ToWide(text).c_str(), title.c_str(),
                MB_OK | (refused.empty() && CheckExitCode(check) == 0 ? MB_ICONINFORMATION : MB_ICONWARNING));
}

} // namespace trevanil_host
