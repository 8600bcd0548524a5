// The batch control in-process inside atl.dll's AtlAxWin container, by ProgID and by
// CLSID: its dialog's layout, the language switch, IObjectSafety, the navigation keys, and
// SetCloseFlag events through a sink of our own.
#include <windows.h>
#include <commctrl.h>
#include <objsafe.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>
#include "orvex/control/orvex_contract.h"
#include "activex/atl_container.h"
#include "trevanil_ids.h"
#include "trevanil_resource.h"
#include "activex/com_object.h"
#include "trevanil_test_support.h"

using namespace trevanil_test;
using orvex_test::Arg;
using orvex_test::Call;

namespace {

const wchar_t kOrvexClsid[] = L"" ORVEX_CLSID_TEXT;

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd, msg, wp, lp); }

// Records every SetCloseFlag the control fires, through a sink object of its own that
// the control may hold a little longer than the recorder lives.
struct CloseFlags {
    std::vector<short> flags;
    bool wrongType = false;
};

class CCloseFlagSink : public activex::Implements<CCloseFlagSink, IDispatch> {
public:
    static constexpr activex::QiAlias kAliases[] = {{&DIID__DTrevanilEvents, &IID_IDispatch}};
    explicit CCloseFlagSink(std::shared_ptr<CloseFlags> seen) : m_seen(std::move(seen)) {}
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        if (id != DISPID_TREVANIL_SETCLOSEFLAG || !params || params->cArgs != 1) return DISP_E_MEMBERNOTFOUND;
        if (V_VT(&params->rgvarg[0]) != VT_I2) m_seen->wrongType = true;
        m_seen->flags.push_back(V_I2(&params->rgvarg[0]));
        return S_OK;
    }

private:
    std::shared_ptr<CloseFlags> m_seen;
};

class CloseFlagSink {
    std::shared_ptr<CloseFlags> m_seen = std::make_shared<CloseFlags>();

public:
    CloseFlagSink() { activex::CreateObject<CCloseFlagSink>(IID_IDispatch, sink.put_void(), m_seen); }
    std::vector<short>& flags = m_seen->flags;
    bool& wrongType = m_seen->wrongType;
    ComPtr<IDispatch> sink;
};

// A frame window with the control in an AtlAxWin child filling it.
class HostedControl {
public:
    explicit HostedControl(const std::wstring& name)
    {
        const activex::AtlContainer* atl = activex::AtlContainer::Get();
        if (!atl) return;
        WNDCLASSW frameClass{};
        frameClass.lpfnWndProc = FrameProc;
        frameClass.hInstance = GetModuleHandleW(nullptr);
        frameClass.lpszClassName = L"TrevanilTestFrame";
        RegisterClassW(&frameClass);
        m_frame = CreateWindowExW(0, L"TrevanilTestFrame", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 720, 460,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        RECT client{};
        GetClientRect(m_frame, &client);
        m_host = CreateWindowExW(0, L"AtlAxWin", name.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, client.right,
                                 client.bottom, m_frame, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!m_host || FAILED(atl->GetControl(m_host, unknown.put())) || !unknown) return;
        unknown->QueryInterface(IID_IDispatch, control.put_void());
        ComPtr<IOleWindow> window;
        if (SUCCEEDED(unknown->QueryInterface(IID_IOleWindow, window.put_void()))) window->GetWindow(&controlWindow);
        if (controlWindow) dialog = FindWindowExW(controlWindow, nullptr, L"#32770", nullptr);
    }
    ~HostedControl()
    {
        if (m_cookie) m_point->Unadvise(m_cookie);
        m_point.reset();
        control.reset();
        unknown.reset();
        if (m_frame) DestroyWindow(m_frame);
        PumpPending();
    }
    HostedControl(const HostedControl&) = delete;
    HostedControl& operator=(const HostedControl&) = delete;

    bool Advise(CloseFlagSink& sink)
    {
        ComPtr<IConnectionPointContainer> points;
        return SUCCEEDED(unknown->QueryInterface(IID_IConnectionPointContainer, points.put_void())) &&
               SUCCEEDED(points->FindConnectionPoint(DIID__DTrevanilEvents, m_point.put())) &&
               sink.sink && SUCCEEDED(m_point->Advise(sink.sink.get(), &m_cookie));
    }
    HRESULT SetLangue(short language) { return Call(control.get(), DISPID_TREVANIL_SETLANGUE, {Arg::Short(language)}).hr; }
    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    void Click(int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id))); }

    ComPtr<IUnknown> unknown;
    ComPtr<IDispatch> control;
    HWND controlWindow = nullptr;
    HWND dialog = nullptr;

private:
    HWND m_frame = nullptr;
    HWND m_host = nullptr;
    ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};

class TrevanilControl : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(RegisterModules()); }
    orvex_test::ComApartment m_apartment;
};

struct ColumnSeen {
    std::wstring caption;
    int width;
    int format;
};

std::vector<ColumnSeen> Columns(HWND list)
{
    std::vector<ColumnSeen> columns;
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[64] = L"";
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = text;
        column.cchTextMax = 64;
        SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
        columns.push_back({text, column.cx, column.fmt & LVCFMT_JUSTIFYMASK});
    }
    return columns;
}

struct LanguageSeen {
    const wchar_t* columns[4];
    const wchar_t* labels[3];   // 209, 210, 211
    const wchar_t* buttons[3];  // 204, 205, 206
};

const LanguageSeen kChinese = {{L"序号", L"设备名", L"设备编号", L"结果"},
                               {L"平台IP：", L"平台端口：", L"文件地址："},
                               {L"浏览", L"写入前端", L"取消"}};
const LanguageSeen kEnglish = {{L"No.", L"Device Name", L"Device ID", L"Operation Result"},
                               {L"VMS IP Address:", L"Port Number:", L"Device Information:"},
                               {L"Browse", L"Write", L"Cancel"}};

void ExpectLanguage(const HostedControl& hosted, const LanguageSeen& expected, const char* when)
{
    SCOPED_TRACE(when);
    const std::vector<ColumnSeen> columns = Columns(hosted.Item(IDC_ROW_LIST));
    ASSERT_EQ(4u, columns.size());
    const int widths[4] = {100, 120, 180, 200};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(expected.columns[i], columns[i].caption) << "column " << i;
        EXPECT_EQ(widths[i], columns[i].width) << "column " << i;
        EXPECT_EQ(LVCFMT_LEFT, columns[i].format) << "column " << i;
    }
    const int labels[3] = {IDC_LABEL_IP, IDC_LABEL_PORT, IDC_LABEL_FILE};
    const int buttons[3] = {IDC_BROWSE, IDC_WRITE, IDC_CANCEL_RUN};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(expected.labels[i], WindowTextOf(hosted.Item(labels[i]))) << "label " << labels[i];
        EXPECT_EQ(expected.buttons[i], WindowTextOf(hosted.Item(buttons[i]))) << "button " << buttons[i];
    }
}

// Dialog template 201 as documented: the id, kind, styles and place of every control, in
// dialog units, the ids written as numbers.
struct ControlLayout {
    int id;
    const wchar_t* className;
    DWORD styleMask;
    DWORD style;
    bool border;
    RECT units;  // x, y, width, height
};

const ControlLayout kLayout[] = {
    {209, L"Static", SS_TYPEMASK, SS_RIGHT, false, {5, 6, 69, 8}},
    {201, L"Edit", ES_AUTOHSCROLL, ES_AUTOHSCROLL, true, {76, 4, 96, 12}},
    {210, L"Static", SS_TYPEMASK, SS_RIGHT, false, {203, 6, 50, 8}},
    {202, L"Edit", ES_AUTOHSCROLL, ES_AUTOHSCROLL, true, {257, 4, 58, 12}},
    {211, L"Static", SS_TYPEMASK, SS_RIGHT, false, {5, 26, 69, 8}},
    {203, L"Edit", ES_AUTOHSCROLL, ES_AUTOHSCROLL, true, {76, 24, 179, 12}},
    {204, L"Button", BS_TYPEMASK & ~BS_DEFPUSHBUTTON, BS_PUSHBUTTON, false, {265, 23, 50, 14}},
    {205, L"Button", BS_TYPEMASK & ~BS_DEFPUSHBUTTON, BS_PUSHBUTTON, false, {206, 43, 50, 14}},
    {206, L"Button", BS_TYPEMASK & ~BS_DEFPUSHBUTTON, BS_PUSHBUTTON, false, {265, 43, 50, 14}},
    {207, L"SysListView32", LVS_TYPEMASK, LVS_REPORT, true, {5, 63, 310, 104}},
    {208, L"AtlAxWin", WS_VISIBLE | WS_TABSTOP, WS_VISIBLE | WS_TABSTOP, false, {5, 17, 6, 6}},
};

void ExpectLayout(const HostedControl& hosted)
{
    for (const ControlLayout& expected : kLayout) {
        SCOPED_TRACE(expected.id);
        HWND item = hosted.Item(expected.id);
        ASSERT_TRUE(item);
        wchar_t className[64] = L"";
        GetClassNameW(item, className, 64);
        // atl.dll names its host windows "AtlAxWin" with its version appended in some releases.
        EXPECT_EQ(0, _wcsnicmp(expected.className, className, wcslen(expected.className))) << Utf8(className);
        const DWORD style = static_cast<DWORD>(GetWindowLongW(item, GWL_STYLE));
        EXPECT_EQ(expected.style, style & expected.styleMask) << std::hex << style;
        if (expected.border) {
            // Edits and lists turn a template's WS_BORDER into a sunken client edge.
            const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(item, GWL_EXSTYLE));
            EXPECT_TRUE((style & WS_BORDER) || (exStyle & WS_EX_CLIENTEDGE)) << std::hex << style << " " << exStyle;
        }
        // The dialog manager maps the place and the size each on its own.
        RECT mapped = expected.units;
        MapDialogRect(hosted.dialog, &mapped);
        const RECT want = {mapped.left, mapped.top, mapped.left + mapped.right, mapped.top + mapped.bottom};
        RECT seen{};
        GetWindowRect(item, &seen);
        MapWindowPoints(nullptr, hosted.dialog, reinterpret_cast<POINT*>(&seen), 2);
        EXPECT_EQ(want.left, seen.left);
        EXPECT_EQ(want.top, seen.top);
        EXPECT_EQ(want.right, seen.right);
        EXPECT_EQ(want.bottom, seen.bottom);
    }
}

TEST_F(TrevanilControl, AtlAxWinShowsTheDeviceWriteDialogByProgIdAndClsid)
{
    for (const std::wstring& name : {std::wstring(TREVANIL_PROGID), GuidText(CLSID_Trevanil)}) {
        SCOPED_TRACE(Utf8(name));
        HostedControl hosted(name);
        ASSERT_TRUE(hosted.control);
        ASSERT_TRUE(hosted.controlWindow) << "in-place active";
        ASSERT_TRUE(hosted.dialog) << "the dialog is a child of the control's window";
        const DWORD style = static_cast<DWORD>(GetWindowLongW(hosted.dialog, GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(hosted.dialog, GWL_EXSTYLE));
        EXPECT_TRUE(style & WS_CHILD);
        EXPECT_TRUE(style & WS_VISIBLE);
        EXPECT_FALSE(style & WS_CAPTION);
        EXPECT_EQ(DWORD(WS_EX_CONTROLPARENT | WS_EX_STATICEDGE), exStyle & (WS_EX_CONTROLPARENT | WS_EX_STATICEDGE));
        LOGFONTW font{};
        ASSERT_TRUE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hosted.dialog, WM_GETFONT, 0, 0)), sizeof font, &font));
        EXPECT_STREQ(L"System", font.lfFaceName);
        ExpectLayout(hosted);
        // Painting fits the dialog to the control.
        RedrawWindow(hosted.controlWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        PumpPending();
        RECT control{}, placed{};
        GetClientRect(hosted.controlWindow, &control);
        GetWindowRect(hosted.dialog, &placed);
        MapWindowPoints(nullptr, hosted.controlWindow, reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_TRUE(EqualRect(&control, &placed)) << placed.left << "," << placed.top << "," << placed.right << ","
                                                  << placed.bottom << " in " << control.right << "x" << control.bottom;

        HWND list = hosted.Item(IDC_ROW_LIST);
        EXPECT_TRUE(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_GRIDLINES);
        EXPECT_EQ(0, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        ExpectLanguage(hosted, kChinese, "a new control speaks Chinese");
        EXPECT_EQ(L"5510", WindowTextOf(hosted.Item(IDC_PLATFORM_PORT)));
        EXPECT_EQ(L"", WindowTextOf(hosted.Item(IDC_PLATFORM_IP)));
        EXPECT_EQ(L"", WindowTextOf(hosted.Item(IDC_FILE_PATH)));

        // Control 208 is orvex's device-access control, made by the container.
        ComPtr<IUnknown> orvex;
        ASSERT_EQ(S_OK, activex::AtlContainer::Get()->GetControl(hosted.Item(IDC_ORVEX), orvex.put()));
        ComPtr<IOleObject> object;
        ASSERT_EQ(S_OK, orvex->QueryInterface(IID_IOleObject, object.put_void()));
        CLSID clsid{};
        ASSERT_EQ(S_OK, object->GetUserClassID(&clsid));
        EXPECT_EQ(kOrvexClsid, GuidText(clsid));
    }
}

TEST_F(TrevanilControl, SetLangueSwitchesColumnsLabelsAndButtonsAtOnce)
{
    HostedControl hosted(TREVANIL_PROGID);
    ASSERT_TRUE(hosted.dialog);
    ASSERT_EQ(S_OK, hosted.SetLangue(2));
    ExpectLanguage(hosted, kEnglish, "after 2");
    ASSERT_EQ(S_OK, hosted.SetLangue(1));
    ExpectLanguage(hosted, kChinese, "after 2, 1");
    ASSERT_EQ(S_OK, hosted.SetLangue(2));
    ExpectLanguage(hosted, kEnglish, "after 2, 1, 2");
    for (short ignored : {3, 0, -1, 32767}) {
        EXPECT_EQ(S_OK, hosted.SetLangue(ignored));
        ExpectLanguage(hosted, kEnglish, "a number other than 1 and 2 changes nothing");
    }
    // SetLangue takes a short: a 32-bit value beyond it is refused, not cut to its low
    // half (each of these but 32768 would be 2, English); a small one arrives as its value.
    ASSERT_EQ(S_OK, Call(hosted.control.get(), DISPID_TREVANIL_SETLANGUE, {Arg(1)}).hr);
    ExpectLanguage(hosted, kChinese, "1 as a long");
    for (long beyond : {65538L, 131074L, -65534L, 32768L}) {
        EXPECT_EQ(DISP_E_OVERFLOW, Call(hosted.control.get(), DISPID_TREVANIL_SETLANGUE, {Arg(beyond)}).hr) << beyond;
        ExpectLanguage(hosted, kChinese, "a value beyond a short changes nothing");
    }
    ASSERT_EQ(S_OK, hosted.SetLangue(2));
    // Typed entries survive a switch: only the texts of the language change.
    SetWindowTextW(hosted.Item(IDC_PLATFORM_IP), L"10.2.0.1");
    ASSERT_EQ(S_OK, hosted.SetLangue(1));
    ExpectLanguage(hosted, kChinese, "back to 1");
    EXPECT_EQ(L"10.2.0.1", WindowTextOf(hosted.Item(IDC_PLATFORM_IP)));
}

TEST_F(TrevanilControl, ObjectSafetyIsFullForEveryInterfaceAndCannotBeLowered)
{
    HostedControl hosted(TREVANIL_PROGID);
    ASSERT_TRUE(hosted.control);
    ComPtr<IObjectSafety> safety;
    ASSERT_EQ(S_OK, hosted.unknown->QueryInterface(IID_IObjectSafety, safety.put_void()));
    GUID missing{};
    IIDFromString(L"{0D3B3A52-6C1E-4E0B-9F57-2B0C1E5A9D11}", &missing);
    struct Probe { const IID* iid; bool has; };
    const Probe probes[] = {
        {&IID_IUnknown, true}, {&IID_IDispatch, true}, {&DIID__DTrevanil, true}, {&IID_IOleObject, true},
        {&IID_IOleControl, true}, {&IID_IOleInPlaceObject, true}, {&IID_IOleInPlaceActiveObject, true},
        {&IID_IViewObject2, true}, {&IID_IPersistStreamInit, true}, {&IID_IConnectionPointContainer, true},
        {&IID_IObjectSafety, true}, {&DIID__DTrevanilEvents, false}, {&IID_IPersistFile, false}, {&missing, false},
    };
    for (const Probe& probe : probes) {
        SCOPED_TRACE(Utf8(GuidText(*probe.iid)));
        ComPtr<IUnknown> found;
        ASSERT_EQ(probe.has, SUCCEEDED(hosted.unknown->QueryInterface(*probe.iid, found.put_void())));
        DWORD supported = 0, enabled = 0;
        EXPECT_EQ(probe.has ? S_OK : E_NOINTERFACE, safety->GetInterfaceSafetyOptions(*probe.iid, &supported, &enabled));
        EXPECT_EQ(3u, supported);
        EXPECT_EQ(3u, enabled);
        EXPECT_EQ(probe.has ? S_OK : E_NOINTERFACE, safety->SetInterfaceSafetyOptions(*probe.iid, 3, 3));
        if (!probe.has) continue;
        // Switching an option off, or asking for one that does not exist, is refused.
        EXPECT_EQ(E_FAIL, safety->SetInterfaceSafetyOptions(*probe.iid, 3, 1));
        EXPECT_EQ(E_FAIL, safety->SetInterfaceSafetyOptions(*probe.iid, 3, 2));
        EXPECT_EQ(E_FAIL, safety->SetInterfaceSafetyOptions(*probe.iid, 3, 0));
        EXPECT_EQ(E_FAIL, safety->SetInterfaceSafetyOptions(*probe.iid, 7, 7));
        EXPECT_EQ(E_FAIL, safety->SetInterfaceSafetyOptions(*probe.iid, 4, 4));
    }
    EXPECT_EQ(E_POINTER, safety->GetInterfaceSafetyOptions(IID_IDispatch, nullptr, nullptr));
}

// Every message a subclassed edit receives, for the keyboard test.
thread_local std::vector<MSG>* t_editMessages = nullptr;
thread_local WNDPROC t_editProc = nullptr;

LRESULT CALLBACK RecordingEditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (t_editMessages && (msg == WM_KEYDOWN || msg == WM_KEYUP)) {
        MSG seen{};
        seen.hwnd = hwnd;
        seen.message = msg;
        seen.wParam = wp;
        t_editMessages->push_back(seen);
    }
    return CallWindowProcW(t_editProc, hwnd, msg, wp, lp);
}

DWORD Caret(HWND edit)
{
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return end;
}

TEST_F(TrevanilControl, NavigationKeysReachTheFocusedEditBeforeTheHost)
{
    HostedControl hosted(TREVANIL_PROGID);
    ASSERT_TRUE(hosted.dialog);
    ComPtr<IOleInPlaceActiveObject> active;
    ASSERT_EQ(S_OK, hosted.unknown->QueryInterface(IID_IOleInPlaceActiveObject, active.put_void()));
    HWND edit = hosted.Item(IDC_PLATFORM_IP);
    SetWindowTextW(edit, L"10.20.30.40");
    SetForegroundWindow(GetAncestor(edit, GA_ROOT));
    SetFocus(edit);
    ASSERT_EQ(edit, GetFocus());
    std::vector<MSG> received;
    t_editMessages = &received;
    t_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingEditProc)));

    auto key = [&](UINT message, WPARAM code) {
        MSG msg{GetFocus(), message, code, 1, GetTickCount(), {0, 0}};
        return active->TranslateAccelerator(&msg);
    };
    SendMessageW(edit, EM_SETSEL, 11, 11);
    EXPECT_EQ(S_OK, key(WM_KEYDOWN, VK_HOME));
    EXPECT_EQ(0u, Caret(edit)) << "Home moved the caret";
    EXPECT_EQ(S_OK, key(WM_KEYUP, VK_HOME));
    EXPECT_EQ(S_OK, key(WM_KEYDOWN, VK_END));
    EXPECT_EQ(11u, Caret(edit)) << "End moved the caret";
    EXPECT_EQ(S_OK, key(WM_KEYDOWN, VK_LEFT));
    EXPECT_EQ(10u, Caret(edit)) << "Left moved the caret";
    EXPECT_EQ(S_OK, key(WM_KEYDOWN, VK_RIGHT));
    EXPECT_EQ(11u, Caret(edit)) << "Right moved the caret";
    for (WPARAM code : {VK_END, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN}) EXPECT_EQ(S_OK, key(WM_KEYUP, code)) << code;
    EXPECT_EQ(S_OK, key(WM_KEYDOWN, VK_UP));
    EXPECT_EQ(S_OK, key(WM_KEYDOWN, VK_DOWN));
    ASSERT_EQ(12u, received.size()) << "each of the six keys, down and up, reached the edit";
    for (WPARAM code = VK_END; code <= VK_DOWN; ++code) {
        int downs = 0, ups = 0;
        for (const MSG& msg : received) {
            if (msg.wParam != code) continue;
            EXPECT_EQ(edit, msg.hwnd);
            downs += msg.message == WM_KEYDOWN;
            ups += msg.message == WM_KEYUP;
        }
        EXPECT_EQ(1, downs) << code;
        EXPECT_EQ(1, ups) << code;
    }
    // Every other key and message is the host's.
    received.clear();
    for (WPARAM code : {WPARAM(VK_PRIOR), WPARAM(VK_NEXT), WPARAM(VK_SELECT), WPARAM(VK_TAB), WPARAM(VK_RETURN),
                        WPARAM('A'), WPARAM(VK_DELETE)}) {
        EXPECT_EQ(S_FALSE, key(WM_KEYDOWN, code)) << code;
        EXPECT_EQ(S_FALSE, key(WM_KEYUP, code)) << code;
    }
    EXPECT_EQ(S_FALSE, key(WM_SYSKEYDOWN, VK_LEFT));
    EXPECT_EQ(S_FALSE, key(WM_CHAR, VK_HOME));
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(11u, Caret(edit));
    SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(t_editProc));
    t_editMessages = nullptr;
}

// A device list holding only its header line, beside the program.
std::wstring HeaderOnlyList()
{
    const std::wstring path = orvex_test::ProgramDir() + L"header_only.csv";
    WriteBytes(path, "name,x,ip,user,password,a,b,c,id\r\n");
    return path;
}

TEST_F(TrevanilControl, WriteWithoutDataFiresCloseFlagOneThenZero)
{
    HostedControl hosted(GuidText(CLSID_Trevanil));
    ASSERT_TRUE(hosted.dialog);
    CloseFlagSink sink;
    ASSERT_TRUE(hosted.Advise(sink));
    SetWindowTextW(hosted.Item(IDC_PLATFORM_IP), L"10.2.0.1");
    SetWindowTextW(hosted.Item(IDC_FILE_PATH), HeaderOnlyList().c_str());
    MessageBoxSeen box;
    ASSERT_TRUE(TakeMessageBoxDuring([&] { hosted.Click(IDC_WRITE); }, box));
    EXPECT_EQ(L"选择的文件为空文件，请重新选择文件！", box.text);
    EXPECT_EQ(L"错误提示", box.caption);
    ASSERT_TRUE(PumpUntil([&] { return sink.flags.size() >= 2; }, 5000));
    EXPECT_EQ((std::vector<short>{1, 0}), sink.flags);
    EXPECT_FALSE(sink.wrongType) << "SetCloseFlag passes a short";
    EXPECT_EQ(0, SendMessageW(hosted.Item(IDC_ROW_LIST), LVM_GETITEMCOUNT, 0, 0));
    EXPECT_TRUE(IsWindowEnabled(hosted.Item(IDC_WRITE)));
    EXPECT_TRUE(IsWindowEnabled(hosted.Item(IDC_PLATFORM_IP)));

    // The same in English, and a missing file is no data either.
    ASSERT_EQ(S_OK, hosted.SetLangue(2));
    sink.flags.clear();
    SetWindowTextW(hosted.Item(IDC_FILE_PATH), (orvex_test::ProgramDir() + L"no_such_list.csv").c_str());
    ASSERT_TRUE(TakeMessageBoxDuring([&] { hosted.Click(IDC_WRITE); }, box));
    EXPECT_EQ(L"No data is found. Please try again.", box.text);
    EXPECT_EQ(L"Error", box.caption);
    ASSERT_TRUE(PumpUntil([&] { return sink.flags.size() >= 2; }, 5000));
    EXPECT_EQ((std::vector<short>{1, 0}), sink.flags);
}

TEST_F(TrevanilControl, WriteDuringARunIsIgnored)
{
    HostedControl hosted(TREVANIL_PROGID);
    ASSERT_TRUE(hosted.dialog);
    CloseFlagSink sink;
    ASSERT_TRUE(hosted.Advise(sink));
    // Twenty rows: the run cannot end by itself within this test, however slow the machine.
    std::string rows = "name,x,ip,user,password,a,b,c,id\r\n";
    for (int i = 1; i <= 20; ++i) rows += "Cam,x,10.7.1." + std::to_string(i) + ",,,,,,PU\r\n";
    const std::wstring list = orvex_test::ProgramDir() + L"twenty_rows.csv";
    ASSERT_TRUE(WriteBytes(list, rows));
    SetWindowTextW(hosted.Item(IDC_PLATFORM_IP), L"10.2.0.1");
    SetWindowTextW(hosted.Item(IDC_FILE_PATH), list.c_str());
    hosted.Click(IDC_WRITE);
    ASSERT_TRUE(PumpUntil([&] { return !sink.flags.empty(); }, 5000));
    ASSERT_FALSE(IsWindowEnabled(hosted.Item(IDC_WRITE)));
    // The button is disabled, but its command still reaches the dialog: the run goes on
    // and the host hears of no second start.
    hosted.Click(IDC_WRITE);
    hosted.Click(IDC_CANCEL_RUN);
    ASSERT_TRUE(PumpUntil([&] { return sink.flags.size() >= 2; }, 5000));
    PumpPending();
    EXPECT_EQ((std::vector<short>{1, 0}), sink.flags);
}

TEST_F(TrevanilControl, FailedInputCheckShowsItsMessageAndFiresNothing)
{
    HostedControl hosted(TREVANIL_PROGID);
    ASSERT_TRUE(hosted.dialog);
    CloseFlagSink sink;
    ASSERT_TRUE(hosted.Advise(sink));
    struct Case {
        short language;
        const wchar_t* ip;
        const wchar_t* port;
        const wchar_t* file;
        const wchar_t* text;
        const wchar_t* caption;
    };
    const std::wstring list = HeaderOnlyList();
    const Case cases[] = {
        {1, L"", L"5510", list.c_str(), L"平台IP地址不能为空！", L"错误提示"},
        {1, L"10.2.0.256", L"5510", list.c_str(), L"平台IP地址格式不正确！", L"错误提示"},
        {2, L"10.2.0.1", L"", list.c_str(), L"Please enter a port number of the VMS.", L"Error"},
        {2, L"10.2.0.1", L"65536", list.c_str(), L"Please enter a port number from the range of 0 to 65535.", L"Error"},
        {2, L"10.2.0.1", L"5510", L"", L"No file is selected. Please try again.", L"Error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.text));
        ASSERT_EQ(S_OK, hosted.SetLangue(c.language));
        SetWindowTextW(hosted.Item(IDC_PLATFORM_IP), c.ip);
        SetWindowTextW(hosted.Item(IDC_PLATFORM_PORT), c.port);
        SetWindowTextW(hosted.Item(IDC_FILE_PATH), c.file);
        MessageBoxSeen box;
        ASSERT_TRUE(TakeMessageBoxDuring([&] { hosted.Click(IDC_WRITE); }, box));
        EXPECT_EQ(c.text, box.text);
        EXPECT_EQ(c.caption, box.caption);
        PumpPending();
        EXPECT_TRUE(sink.flags.empty()) << "a refused start fires no SetCloseFlag";
        EXPECT_TRUE(IsWindowEnabled(hosted.Item(IDC_WRITE)));
        EXPECT_EQ(c.ip, WindowTextOf(hosted.Item(IDC_PLATFORM_IP))) << "the entries stay";
    }
}

// orvex.dll's own unregistration, for the test without the device-access control.
HRESULT UnregisterOrvex()
{
    activex::UniqueHModule module(LoadLibraryW((orvex_test::ProgramDir() + L"orvex.dll").c_str()));
    using EntryPoint = HRESULT(WINAPI*)();
    auto unregisterServer = module ? reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(
                                         GetProcAddress(module.get(), "DllUnregisterServer")))
                                   : nullptr;
    return unregisterServer ? unregisterServer() : E_FAIL;
}

TEST_F(TrevanilControl, WriteWithoutTheDeviceAccessControlSaysSoAndStartsNothing)
{
    ASSERT_EQ(S_OK, UnregisterOrvex());
    struct Reregister {
        ~Reregister() { RegisterModules(); }
    } reregister;
    HostedControl hosted(TREVANIL_PROGID);
    ASSERT_TRUE(hosted.control);
    ASSERT_TRUE(hosted.dialog) << "the dialog shows even when control 208 cannot be made";
    CloseFlagSink sink;
    ASSERT_TRUE(hosted.Advise(sink));
    const std::wstring list = orvex_test::ProgramDir() + L"one_row.csv";
    ASSERT_TRUE(WriteBytes(list, "name,x,ip,user,password,a,b,c,id\r\nCam-A,x,10.7.0.1,admin,admin123,,,,PU-A\r\n"));
    SetWindowTextW(hosted.Item(IDC_PLATFORM_IP), L"10.2.0.1");
    SetWindowTextW(hosted.Item(IDC_FILE_PATH), list.c_str());
    MessageBoxSeen box;
    ASSERT_TRUE(TakeMessageBoxDuring([&] { hosted.Click(IDC_WRITE); }, box));
    EXPECT_EQ(L"设备访问控件不可用，请注册orvex.dll。", box.text);
    EXPECT_EQ(L"错误提示", box.caption);
    PumpPending();
    EXPECT_TRUE(sink.flags.empty());
    EXPECT_EQ(0, SendMessageW(hosted.Item(IDC_ROW_LIST), LVM_GETITEMCOUNT, 0, 0)) << "no row is reported";
    EXPECT_TRUE(IsWindowEnabled(hosted.Item(IDC_WRITE)));
}

// The file-open dialog's file name and file type boxes (the common dialogs' template ids).
constexpr int kFileNameEdit = 0x480;   // edt1
constexpr int kFileNameCombo = 0x47C;  // cmb13
constexpr int kFileTypeCombo = 0x470;  // cmb1

// Answers the file-open dialog with `path` (OK) or cancels it when `path` is null; the
// file type it offered first.
std::wstring AnswerFileDialog(HostedControl& hosted, const wchar_t* path)
{
    std::wstring fileType = L"<no dialog>";
    const bool ended = HandleDialogDuring(
        [&] { hosted.Click(IDC_BROWSE); },
        [&](HWND dialog) {
            fileType.clear();
            HWND types = GetDlgItem(dialog, kFileTypeCombo);
            const LRESULT length = SendMessageW(types, CB_GETLBTEXTLEN, 0, 0);
            if (length > 0) {
                fileType.assign(static_cast<std::size_t>(length) + 1, L'\0');
                SendMessageW(types, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(fileType.data()));
                fileType.resize(static_cast<std::size_t>(length));
            }
            if (path) {
                HWND name = GetDlgItem(dialog, kFileNameCombo);
                if (!name) name = GetDlgItem(dialog, kFileNameEdit);
                SetWindowTextW(name, path);
            }
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(path ? IDOK : IDCANCEL, BN_CLICKED), 0);
        });
    return ended ? fileType : L"<still open>";
}

TEST_F(TrevanilControl, BrowsePutsTheChosenFileIntoThePathAndCancelKeepsIt)
{
    HostedControl hosted(TREVANIL_PROGID);
    ASSERT_TRUE(hosted.dialog);
    const std::wstring chosen = orvex_test::ProgramDir() + L"browse_pick.csv";
    ASSERT_TRUE(WriteBytes(chosen, "name,x,ip,user,password,a,b,c,id\r\n"));
    HWND path = hosted.Item(IDC_FILE_PATH);
    SetWindowTextW(path, L"C:\\lists\\before.csv");
    EXPECT_EQ(L"数据文件 (*.csv)", AnswerFileDialog(hosted, nullptr));
    EXPECT_EQ(L"C:\\lists\\before.csv", WindowTextOf(path)) << "cancelled: the path stays";
    ASSERT_EQ(S_OK, hosted.SetLangue(2));
    EXPECT_EQ(L"File (*.csv)", AnswerFileDialog(hosted, chosen.c_str()));
    EXPECT_EQ(0, _wcsicmp(chosen.c_str(), WindowTextOf(path).c_str())) << Utf8(WindowTextOf(path));
}

} // namespace
