#include "dialog_automation.h"

#include "activex/window_find.h"

#include <commctrl.h>
#include "activex/wide_text.h"
#include "batch_view.h"
#include "trevanil/control/trevanil_resource.h"

namespace trevanil_host {
namespace {

HWND Descendant(HWND root, int id) { return activex::DescendantById(root, id); }

struct BoxSearch {
    HWND except;
    HWND found;
};

BOOL CALLBACK FindMessageBox(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<BoxSearch*>(param);
    wchar_t className[16] = L"";
    GetClassNameW(hwnd, className, 16);
    if (hwnd == search->except || !IsWindowVisible(hwnd) || wcscmp(className, L"#32770") != 0) return TRUE;
    search->found = hwnd;
    return FALSE;
}

} // namespace

std::wstring Utf8ToWide(const std::string& text) { return activex::WideFromNarrow(text); }

std::string WideToUtf8Text(const std::wstring& text) { return activex::Utf8FromWide(text); }

std::optional<DialogControls> FindDeviceWriteDialog(HWND root)
{
    DialogControls c;
    c.list = Descendant(root, IDC_ROW_LIST);
    if (!c.list) return std::nullopt;
    c.dialog = GetParent(c.list);
    c.platformIp = GetDlgItem(c.dialog, IDC_PLATFORM_IP);
    c.platformPort = GetDlgItem(c.dialog, IDC_PLATFORM_PORT);
    c.deviceList = GetDlgItem(c.dialog, IDC_FILE_PATH);
    c.write = GetDlgItem(c.dialog, IDC_WRITE);
    c.cancel = GetDlgItem(c.dialog, IDC_CANCEL_RUN);
    if (!c.platformIp || !c.platformPort || !c.deviceList || !c.write || !c.cancel) return std::nullopt;
    return c;
}

void SetControlText(HWND control, const std::string& utf8)
{
    SetWindowTextW(control, Utf8ToWide(utf8).c_str());
}

std::string ControlText(HWND control) { return activex::Utf8FromWide(activex::WindowTextOf(control)); }

void PressButton(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

std::string ReadListText(HWND list, int index, int column)
{
    wchar_t text[1024] = L"";
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 1024;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return WideToUtf8Text(text);
}

ResultItem ReadResultItem(HWND list, int index)
{
    ResultItem item;
    for (int column = 0; column < kListColumnCount; ++column)
        item.*kListColumns[column].field = ReadListText(list, index, column);
    return item;
}

int ResultItemCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::vector<ResultItem> ReadResultList(HWND list)
{
    std::vector<ResultItem> items;
    const int count = ResultItemCount(list);
    for (int i = 0; i < count; ++i) items.push_back(ReadResultItem(list, i));
    return items;
}

std::optional<MessageBoxText> TakeMessageBox(HWND except)
{
    BoxSearch search{except, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &FindMessageBox, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return std::nullopt;
    MessageBoxText box;
    box.caption = ControlText(search.found);
    // A message box shows its text in the static control with id 0xFFFF.
    if (HWND text = GetDlgItem(search.found, 0xFFFF)) box.text = ControlText(text);
    PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return box;
}

} // namespace trevanil_host
