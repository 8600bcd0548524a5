// The login dialog's template 103 as the bound (hidden) window shows it: caption,
// styles, size, and each control's id, class, text, place and style, in tab order.
#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include "dialog_driver.h"
#include "dlg_login.h"
#include "login_test_support.h"

namespace {

struct ExpectedControl {
    int id;
    const wchar_t* windowClass;
    const wchar_t* text;
    RECT dlu;   // x, y, width, height
    DWORD style;       // bits beyond WS_CHILD | WS_VISIBLE that must be set
    DWORD absentStyle; // bits that must not be set
};

// An edit control turns its WS_BORDER into a client edge when it is created.
constexpr DWORD kBorder = WS_BORDER;
constexpr DWORD kEditStyle = kBorder | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kEditAbsent = ES_PASSWORD | ES_NUMBER;
constexpr DWORD kStaticAbsent = WS_TABSTOP | WS_GROUP | WS_BORDER;

// As documented for template 103, ids written as numbers: 1 OK, 2 Cancel, 201 user name,
// 202 password, 203 HTTP port, -1 for the static texts.
const ExpectedControl kControls[] = {
    {1, L"Button", L"确定", {91, 163, 50, 14}, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
    {2, L"Button", L"取消", {155, 163, 50, 14}, WS_TABSTOP, BS_DEFPUSHBUTTON},
    {-1, L"Static", L"用户名", {68, 63, 22, 8}, 0, kStaticAbsent},
    {201, L"Edit", L"", {105, 57, 81, 14}, kEditStyle, kEditAbsent},
    {-1, L"Static", L"密码", {68, 85, 15, 8}, 0, kStaticAbsent},
    {-1, L"Static", L"HTTP端口", {65, 109, 31, 8}, 0, kStaticAbsent},
    {202, L"Edit", L"", {104, 83, 81, 14}, kEditStyle, kEditAbsent},
    {203, L"Edit", L"", {104, 107, 81, 14}, kEditStyle, kEditAbsent},
};

// The dialog manager converts place and size each on its own, then adds them.
RECT DialogUnitsToPixels(HWND dlg, const RECT& dlu)
{
    RECT r = dlu;
    MapDialogRect(dlg, &r);
    return {r.left, r.top, r.left + r.right, r.top + r.bottom};
}

std::wstring ClassOf(HWND wnd)
{
    wchar_t name[32] = {};
    GetClassNameW(wnd, name, static_cast<int>(std::size(name)));
    return name;
}

} // namespace

TEST(LoginDialogTemplate, DialogHasCaptionStylesAndSize)
{
    HostWindow host;
    CDlgLogin dlg;
    ASSERT_TRUE(dlg.Create(host.get()));
    HWND wnd = dlg.GetSafeHwnd();
    ASSERT_NE(wnd, nullptr);

    EXPECT_EQ(DialogDriver::Text(wnd), L"对话框");
    const DWORD style = GetWindowLongW(wnd, GWL_STYLE);
    const DWORD required = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
    EXPECT_EQ(style & required, required);
    EXPECT_EQ(style & WS_VISIBLE, 0u);

    RECT client = {};
    GetClientRect(wnd, &client);
    const RECT size = DialogUnitsToPixels(wnd, {0, 0, 320, 200});
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    LOGFONTW font = {};
    HFONT hfont = reinterpret_cast<HFONT>(SendMessageW(wnd, WM_GETFONT, 0, 0));
    ASSERT_NE(hfont, nullptr);
    ASSERT_NE(GetObjectW(hfont, sizeof font, &font), 0);
    EXPECT_STREQ(font.lfFaceName, L"MS Shell Dlg");
}

TEST(LoginDialogTemplate, ControlsInTabOrderWithTextsPlacesAndStyles)
{
    HostWindow host;
    CDlgLogin dlg;
    ASSERT_TRUE(dlg.Create(host.get()));
    HWND wnd = dlg.GetSafeHwnd();
    ASSERT_NE(wnd, nullptr);

    HWND child = GetWindow(wnd, GW_CHILD);
    for (const auto& expected : kControls) {
        SCOPED_TRACE(::testing::Message() << "control with text size " << std::wstring(expected.text).size()
                                          << " and id " << expected.id);
        ASSERT_NE(child, nullptr) << "fewer controls than expected";
        EXPECT_EQ(GetDlgCtrlID(child) & 0xFFFF, expected.id & 0xFFFF);
        EXPECT_EQ(lstrcmpiW(ClassOf(child).c_str(), expected.windowClass), 0);
        EXPECT_EQ(DialogDriver::Text(child), expected.text);

        DWORD style = GetWindowLongW(child, GWL_STYLE);
        if (GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) style |= kBorder;
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | expected.style), WS_CHILD | WS_VISIBLE | expected.style);
        EXPECT_EQ(style & expected.absentStyle, 0u);

        RECT place = {};
        GetWindowRect(child, &place);
        MapWindowPoints(HWND_DESKTOP, wnd, reinterpret_cast<POINT*>(&place), 2);
        const RECT want = DialogUnitsToPixels(wnd, expected.dlu);
        EXPECT_EQ(place.left, want.left);
        EXPECT_EQ(place.top, want.top);
        EXPECT_EQ(place.right, want.right);
        EXPECT_EQ(place.bottom, want.bottom);

        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr) << "more controls than expected";
}

namespace {

struct LibraryDeleter {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using UniqueLibrary = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryDeleter>;

std::string_view DialogTemplate(HMODULE module)
{
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(103), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    return bytes ? std::string_view(static_cast<const char*>(bytes), SizeofResource(module, found)) : std::string_view();
}

} // namespace

TEST(LoginDialogTemplate, ModuleCarriesTheTemplateTestedHere)
{
    // orvex.dll is copied beside the test program; its resources are read as data.
    UniqueLibrary orvex(LoadLibraryExW(L"orvex.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(orvex) << "orvex.dll not found beside the test program";
    const std::string_view inModule = DialogTemplate(orvex.get());
    const std::string_view tested = DialogTemplate(GetModuleHandleW(nullptr));
    ASSERT_FALSE(tested.empty());
    EXPECT_EQ(inModule, tested);
}
