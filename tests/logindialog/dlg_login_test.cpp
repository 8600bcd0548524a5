// The login dialog's runs, driven under Wine through its control ids from a second
// thread: binding, what a run shows, what confirming accepts or refuses, what the
// fields keep, and the refusal of a second run while one is open.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <thread>

#include "dialog_driver.h"
#include "dlg_login.h"
#include "dlg_login_ids.h"
#include "login_test_support.h"

namespace {

const std::wstring kEmptyCredentials = L"用户名和密码不能为空！";
const std::wstring kNotANumber = L"请输入一个整数。";
const std::wstring kOutOfRange = L"请输入介于 -2147483648 和 2147483647 之间的整数。";
// The module's file name without its extension: here the test program's.
const std::wstring kMessageCaption = L"dlg_login_test";

struct Entry {
    std::wstring user;
    std::wstring password;
    std::wstring port;
};

bool operator==(const Entry& a, const Entry& b)
{
    return a.user == b.user && a.password == b.password && a.port == b.port;
}

void Type(HWND dlg, const Entry& entry)
{
    DialogDriver::SetItemText(dlg, IDC_EDIT_USERNAME, entry.user);
    DialogDriver::SetItemText(dlg, IDC_EDIT_PASSWORD, entry.password);
    DialogDriver::SetItemText(dlg, IDC_EDIT_HTTPPORT, entry.port);
}

Entry Shown(HWND dlg)
{
    return {DialogDriver::ItemText(dlg, IDC_EDIT_USERNAME), DialogDriver::ItemText(dlg, IDC_EDIT_PASSWORD),
            DialogDriver::ItemText(dlg, IDC_EDIT_HTTPPORT)};
}

bool Contains(const std::vector<std::wstring>& texts, const std::wstring& text)
{
    for (const auto& t : texts)
        if (t == text) return true;
    return false;
}

// Presses OK with `entry` typed in and expects the refusal message `message`; closes
// the message box and checks that the dialog stays open.
void ExpectRefused(DialogDriver& driver, HWND dlg, const Entry& entry, const std::wstring& message)
{
    SCOPED_TRACE(::testing::Message() << "user '" << entry.user.size() << " chars', port text size "
                                      << entry.port.size());
    Type(dlg, entry);
    DialogDriver::Press(dlg, IDOK);
    HWND box = driver.WaitMessageBox(dlg);
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_TRUE(Contains(DialogDriver::StaticTexts(box), message));
    EXPECT_EQ(DialogDriver::Text(box), kMessageCaption);
    DialogDriver::Press(box, IDOK);
    EXPECT_TRUE(driver.WaitGone(box));
    EXPECT_TRUE(IsWindow(dlg) && IsWindowVisible(dlg)) << "the dialog closed after a refused entry";
}

class LoginDialogRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(host.get(), nullptr);
        ASSERT_TRUE(dlg.Create(host.get()));
    }

    // A run that types `entry` and presses OK.
    int ConfirmRun(const Entry& entry)
    {
        return RunModalWith(dlg, [&](DialogDriver& driver) {
            HWND d = driver.WaitLoginDialog();
            ASSERT_NE(d, nullptr);
            Type(d, entry);
            DialogDriver::Press(d, IDOK);
        });
    }

    // A run that records what the dialog shows when it opens, then cancels.
    Entry PeekRun()
    {
        Entry shown{L"<no dialog>", L"", L""};
        const int result = RunModalWith(dlg, [&](DialogDriver& driver) {
            HWND d = driver.WaitLoginDialog();
            ASSERT_NE(d, nullptr);
            shown = Shown(d);
            DialogDriver::Press(d, IDCANCEL);
        });
        EXPECT_EQ(result, IDCANCEL);
        return shown;
    }

    void ExpectFields(const std::u16string& user, const std::u16string& password, int port)
    {
        EXPECT_EQ(std::u16string(dlg.UserName()), user);
        EXPECT_EQ(std::u16string(dlg.Password()), password);
        EXPECT_EQ(dlg.Port(), port);
    }

    HostWindow host;
    CDlgLogin dlg;
};

} // namespace

TEST(LoginDialogBinding, RunWithoutTemplateEndsAtOnceWithMinusOne)
{
    CDlgLogin unbound;
    EXPECT_EQ(unbound.DoModal(), -1);
    EXPECT_EQ(std::u16string(unbound.UserName()), u"");
    EXPECT_EQ(std::u16string(unbound.Password()), u"");
    EXPECT_EQ(unbound.Port(), 0);
}

TEST(LoginDialogBinding, TheModuleDialogPromptsThroughItsBinding)
{
    ILoginPrompt& prompt = g_dlgLogin;

    HostWindow host;
    ASSERT_TRUE(g_dlgLogin.Create(host.get()));
    const int result = RunModalWith(prompt, [](DialogDriver& driver) {
        HWND d = driver.WaitLoginDialog();
        ASSERT_NE(d, nullptr);
        Type(d, {L"root", L"secret", L"8000"});
        DialogDriver::Press(d, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(std::u16string(prompt.UserName()), u"root");
    EXPECT_EQ(std::u16string(prompt.Password()), u"secret");
    EXPECT_EQ(prompt.Port(), 8000);
    g_dlgLogin.Destroy();
    EXPECT_EQ(g_dlgLogin.GetSafeHwnd(), nullptr);
}

TEST_F(LoginDialogRun, BindingMakesAHiddenWindowThatGoesWithTheControlWindow)
{
    HWND hidden = dlg.GetSafeHwnd();
    ASSERT_NE(hidden, nullptr);
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_EQ(GetWindow(hidden, GW_OWNER), host.get());

    // A second binding replaces the hidden window.
    ASSERT_TRUE(dlg.Create(host.get()));
    EXPECT_FALSE(IsWindow(hidden));
    hidden = dlg.GetSafeHwnd();

    host.reset();
    EXPECT_FALSE(IsWindow(hidden));
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
    // The binding outlives the hidden window: a run still shows the dialog.
    EXPECT_EQ(PeekRun(), (Entry{L"", L"", L"0"}));
}

TEST(LoginDialogBinding, ChildControlWindowBindsToItsTopLevelWindow)
{
    // The control's window is a child of the host's window, as in a container.
    HostWindow host;
    HWND control = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD, 0, 0, 10, 10, host.get(), nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(control, nullptr);
    CDlgLogin dlg;
    ASSERT_TRUE(dlg.Create(control));
    HWND hidden = dlg.GetSafeHwnd();
    EXPECT_EQ(GetWindow(hidden, GW_OWNER), host.get());

    bool hostDisabled = false;
    const int result = RunModalWith(dlg, [&](DialogDriver& driver) {
        HWND d = driver.WaitLoginDialog();
        ASSERT_NE(d, nullptr);
        hostDisabled = !IsWindowEnabled(host.get());
        DialogDriver::Press(d, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(hostDisabled) << "the run is modal to the host's top-level window";
    EXPECT_TRUE(IsWindowEnabled(host.get()));

    // The hidden window outlives the control window; Destroy removes it.
    DestroyWindow(control);
    EXPECT_TRUE(IsWindow(hidden));
    dlg.Destroy();
    EXPECT_FALSE(IsWindow(hidden));
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
}

TEST_F(LoginDialogRun, FirstRunShowsEmptyValuesTopmostWithFocusOnOK)
{
    Entry shown;
    bool topmost = false, focusOnOk = false, hostDisabled = false;
    const int result = RunModalWith(dlg, [&](DialogDriver& driver) {
        HWND d = driver.WaitLoginDialog();
        ASSERT_NE(d, nullptr);
        EXPECT_NE(d, dlg.GetSafeHwnd()) << "the run must use a window of its own";
        shown = Shown(d);
        topmost = (GetWindowLongW(d, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        focusOnOk = driver.WaitFocus(GetDlgItem(d, IDOK));
        hostDisabled = !IsWindowEnabled(host.get());
        DialogDriver::Press(d, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(shown, (Entry{L"", L"", L"0"}));
    EXPECT_TRUE(topmost);
    EXPECT_TRUE(focusOnOk);
    EXPECT_TRUE(hostDisabled) << "the run is modal to the control's top-level window";
    EXPECT_TRUE(IsWindowEnabled(host.get()));
    ExpectFields(u"", u"", 0);
}

TEST_F(LoginDialogRun, EmptyNameOrPasswordIsRefusedWithMessage)
{
    const int result = RunModalWith(dlg, [&](DialogDriver& driver) {
        HWND d = driver.WaitLoginDialog();
        ASSERT_NE(d, nullptr);
        ExpectRefused(driver, d, {L"admin", L"", L"80"}, kEmptyCredentials);
        ExpectRefused(driver, d, {L"", L"secret", L"80"}, kEmptyCredentials);
        // The operator corrects the entry and confirms.
        Type(d, {L"admin", L"secret", L"80"});
        DialogDriver::Press(d, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    ExpectFields(u"admin", u"secret", 80);
}

TEST_F(LoginDialogRun, PortTextThatIsNotAWholeNumberIsRefusedWithFocusOnPort)
{
    const int result = RunModalWith(dlg, [&](DialogDriver& driver) {
        HWND d = driver.WaitLoginDialog();
        ASSERT_NE(d, nullptr);
        HWND portEdit = GetDlgItem(d, IDC_EDIT_HTTPPORT);
        ExpectRefused(driver, d, {L"admin", L"secret", L"8a"}, kNotANumber);
        EXPECT_TRUE(driver.WaitFocus(portEdit));
        ExpectRefused(driver, d, {L"admin", L"secret", L""}, kNotANumber);
        EXPECT_TRUE(driver.WaitFocus(portEdit));
        // Checked before the names: an empty name with a bad port names the port.
        ExpectRefused(driver, d, {L"", L"", L"x"}, kNotANumber);
        ExpectRefused(driver, d, {L"admin", L"secret", L"2147483648"}, kOutOfRange);
        EXPECT_TRUE(driver.WaitFocus(portEdit));
        DialogDriver::Press(d, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    ExpectFields(u"", u"", 0);
}

TEST_F(LoginDialogRun, PortIsTakenAsTypedWithoutRangeCheck)
{
    const struct {
        const wchar_t* text;
        int port;
    } cases[] = {{L" 80 ", 80}, {L"80 ", 80}, {L"\t443", 443}, {L"-5", -5}, {L"70000", 70000}, {L"0", 0},
                 {L"-2147483648", INT_MIN}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        EXPECT_EQ(ConfirmRun({L"admin", L"secret", c.text}), IDOK);
        EXPECT_EQ(dlg.Port(), c.port);
    }
}

TEST_F(LoginDialogRun, ConfirmedValuesAreShownAgainInTheNextRun)
{
    ASSERT_EQ(ConfirmRun({L"管理员", L" pass word ", L" 8080 "}), IDOK);
    // Texts are taken as they stand, the password included; the port as a number.
    ExpectFields(u"管理员", u" pass word ", 8080);
    EXPECT_EQ(PeekRun(), (Entry{L"管理员", L" pass word ", L"8080"}));

    ASSERT_EQ(ConfirmRun({L"admin", L"x", L"-5"}), IDOK);
    EXPECT_EQ(PeekRun(), (Entry{L"admin", L"x", L"-5"}));
}

TEST_F(LoginDialogRun, CancelKeepsTheLastConfirmedValues)
{
    ASSERT_EQ(ConfirmRun({L"admin", L"secret", L"80"}), IDOK);

    // Cancel button, close box and Escape key, each after typing something else.
    const UINT cancels[] = {0, WM_CLOSE, WM_KEYDOWN};
    for (UINT how : cancels) {
        SCOPED_TRACE(how);
        const int result = RunModalWith(dlg, [&](DialogDriver& driver) {
            HWND d = driver.WaitLoginDialog();
            ASSERT_NE(d, nullptr);
            Type(d, {L"other", L"other", L"81"});
            if (how == 0) DialogDriver::Press(d, IDCANCEL);
            else if (how == WM_CLOSE) PostMessageW(d, WM_CLOSE, 0, 0);
            else PostMessageW(GetDlgItem(d, IDC_EDIT_USERNAME), WM_KEYDOWN, VK_ESCAPE, 0);
        });
        EXPECT_EQ(result, IDCANCEL);
        ExpectFields(u"admin", u"secret", 80);
    }
    EXPECT_EQ(PeekRun(), (Entry{L"admin", L"secret", L"80"}));
}

TEST_F(LoginDialogRun, RefusedEntryThenCancelKeepsTheLastConfirmedValues)
{
    ASSERT_EQ(ConfirmRun({L"admin", L"secret", L"80"}), IDOK);
    const int result = RunModalWith(dlg, [&](DialogDriver& driver) {
        HWND d = driver.WaitLoginDialog();
        ASSERT_NE(d, nullptr);
        ExpectRefused(driver, d, {L"guest", L"", L"90"}, kEmptyCredentials);
        ExpectRefused(driver, d, {L"guest", L"pw", L"9z"}, kNotANumber);
        DialogDriver::Press(d, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    ExpectFields(u"admin", u"secret", 80);
    EXPECT_EQ(PeekRun(), (Entry{L"admin", L"secret", L"80"}));
}

TEST_F(LoginDialogRun, EnterKeyConfirmsLongTextsWhole)
{
    const std::wstring longName(300, L'名');   // far beyond what the login buffers hold
    const int result = RunModalWith(dlg, [&](DialogDriver& driver) {
        HWND d = driver.WaitLoginDialog();
        ASSERT_NE(d, nullptr);
        Type(d, {longName, L"secret", L"80"});
        PostMessageW(GetDlgItem(d, IDC_EDIT_PASSWORD), WM_KEYDOWN, VK_RETURN, 0);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(Wide(dlg.UserName()), longName);
}

namespace {

// A window of the UI thread that starts a run when it receives WM_APP, as a host
// call re-entering the module during the modal loop would.
CDlgLogin* g_reentryTarget = nullptr;

LRESULT CALLBACK ReentryProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_APP && g_reentryTarget) return g_reentryTarget->DoModal();
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

} // namespace

TEST_F(LoginDialogRun, SecondRunWhileOneIsOpenIsCancelled)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ReentryProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LoginReentryTest";
    RegisterClassW(&wc);
    HWND reentry = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   wc.hInstance, nullptr);
    ASSERT_NE(reentry, nullptr);
    g_reentryTarget = &dlg;

    LRESULT nested = 0;
    int fromOtherThread = 0;
    size_t dialogsAfter = 0;
    const int result = RunModalWith(dlg, [&](DialogDriver& driver) {
        HWND d = driver.WaitLoginDialog();
        ASSERT_NE(d, nullptr);
        nested = SendMessageW(reentry, WM_APP, 0, 0);   // runs DoModal inside the open run
        fromOtherThread = dlg.DoModal();
        dialogsAfter = driver.VisibleDialogs().size();
        Type(d, {L"admin", L"secret", L"80"});
        DialogDriver::Press(d, IDOK);
    });
    g_reentryTarget = nullptr;
    DestroyWindow(reentry);
    UnregisterClassW(wc.lpszClassName, wc.hInstance);

    EXPECT_EQ(nested, IDCANCEL);
    EXPECT_EQ(fromOtherThread, IDCANCEL);
    EXPECT_EQ(dialogsAfter, 1u) << "a second dialog was shown";
    EXPECT_EQ(result, IDOK);
    ExpectFields(u"admin", u"secret", 80);
    // Once the run is over, the next one is served again.
    EXPECT_EQ(PeekRun(), (Entry{L"admin", L"secret", L"80"}));
}
