#include "device_write_dlg.h"

#include <commctrl.h>
#include <commdlg.h>
#include "activex/atl_container.h"
#include "activex/exception_barrier.h"
#include "activex/wide_text.h"
#include "run_timer_period.h"
#include "trevanil/control/trevanil_resource.h"

namespace {

std::wstring Wide(const char* utf8) { return NarrowToWide(utf8 ? utf8 : "", TextEncoding::Utf8); }

}  // namespace

CDeviceWriteDlg::CDeviceWriteDlg() : m_run(*this, m_orvex) { m_initialFields.port = "5510"; }

CDeviceWriteDlg::~CDeviceWriteDlg() { Destroy(); }

bool CDeviceWriteDlg::Create(HINSTANCE module, HWND parent)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const activex::AtlContainer* atl = activex::AtlContainer::Get();
    if (!atl) return false;
    // The container converts control 208 (class "{CLSID}" of orvex's control) into a
    // hosted control while it makes the dialog.
    m_hwnd = atl->CreateHostingDialog(module, MAKEINTRESOURCEW(IDD_DEVICE_WRITE), parent, &CDeviceWriteDlg::DialogProc,
                                reinterpret_cast<LPARAM>(this));
    if (!m_hwnd) return false;
    // The template is not visible by itself: the control shows it once it exists.
    ShowWindow(m_hwnd, SW_SHOW);
    return true;
}

void CDeviceWriteDlg::Destroy()
{
    if (!m_hwnd) return;
    KillTimer(m_hwnd, kRunTimerId);
    m_orvex.Detach();
    DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
}

void CDeviceWriteDlg::SetLanguage(int n)
{
    if (!m_run.SetLanguage(n)) return;
    if (m_hwnd) ApplyLanguage();
}

INT_PTR CALLBACK CDeviceWriteDlg::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, DWLP_USER, lp);
        reinterpret_cast<CDeviceWriteDlg*>(lp)->m_hwnd = hwnd;
    }
    auto* dialog = reinterpret_cast<CDeviceWriteDlg*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!dialog) return FALSE;
    return activex::WindowBarrier(
        "CDeviceWriteDlg::DialogProc", [&] { return dialog->OnMessage(msg, wp, lp); }, [] { return INT_PTR(FALSE); });
}

INT_PTR CDeviceWriteDlg::OnMessage(UINT msg, WPARAM wp, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wp) != BN_CLICKED) return FALSE;
        switch (LOWORD(wp)) {
        case IDC_BROWSE: OnBrowse(); return TRUE;
        case IDC_WRITE: m_run.OnWrite(); return TRUE;
        case IDC_CANCEL_RUN: m_run.OnCancelRun(); return TRUE;
        default: return FALSE;
        }
    case WM_TIMER:
        m_run.OnTimer(static_cast<unsigned>(wp));
        return FALSE;  // every timer message also takes the default path
    case WM_DESTROY:
        KillTimer(m_hwnd, kRunTimerId);
        m_orvex.Detach();
        return FALSE;
    default:
        return FALSE;
    }
}

void CDeviceWriteDlg::OnInitDialog()
{
    m_orvex.Attach(Item(IDC_ORVEX));
    WriteFields(m_initialFields);
    HWND list = Item(IDC_ROW_LIST);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    ApplyLanguage();
}

void CDeviceWriteDlg::ApplyLanguage()
{
    const LanguageTexts& texts = m_run.Texts();
    HWND list = Item(IDC_ROW_LIST);
    for (int i = 0; i < kListColumnCount; ++i) SendMessageW(list, LVM_DELETECOLUMN, 0, 0);  // the old language's
    for (int i = 0; i < kListColumnCount; ++i) {
        std::wstring caption = Wide(texts.columns[i].caption);
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = texts.columns[i].width;
        column.pszText = caption.data();
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    SetWindowTextW(Item(IDC_BROWSE), Wide(texts.buttonBrowse).c_str());
    SetWindowTextW(Item(IDC_WRITE), Wide(texts.buttonWrite).c_str());
    SetWindowTextW(Item(IDC_CANCEL_RUN), Wide(texts.buttonCancel).c_str());
    // The labels follow the language at once, as the columns and buttons do.
    SetWindowTextW(Item(IDC_LABEL_IP), Wide(texts.labelPlatformIp).c_str());
    SetWindowTextW(Item(IDC_LABEL_PORT), Wide(texts.labelPort).c_str());
    SetWindowTextW(Item(IDC_LABEL_FILE), Wide(texts.labelFile).c_str());
}

void CDeviceWriteDlg::OnBrowse()
{
    const std::wstring filter = FileDialogFilter(Wide(m_run.Texts().ui.fileFilter));
    wchar_t path[MAX_PATH * 4] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetAncestor(m_hwnd, GA_ROOT);
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = path;
    ofn.nMaxFile = static_cast<DWORD>(std::size(path));
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!GetOpenFileNameW(&ofn)) return;
    SetWindowTextW(Item(IDC_FILE_PATH), path);
}

BatchFields CDeviceWriteDlg::ReadFields()
{
    auto text = [this](int id) { return activex::Utf8FromWide(activex::WindowTextOf(Item(id))); };
    return {text(IDC_PLATFORM_IP), text(IDC_PLATFORM_PORT), text(IDC_FILE_PATH)};
}

void CDeviceWriteDlg::WriteFields(const BatchFields& fields)
{
    SetWindowTextW(Item(IDC_PLATFORM_IP), Wide(fields.platformIp.c_str()).c_str());
    SetWindowTextW(Item(IDC_PLATFORM_PORT), Wide(fields.port.c_str()).c_str());
    SetWindowTextW(Item(IDC_FILE_PATH), Wide(fields.path.c_str()).c_str());
}

void CDeviceWriteDlg::EnableInputs(bool enable)
{
    for (int id : {IDC_PLATFORM_IP, IDC_PLATFORM_PORT, IDC_FILE_PATH, IDC_BROWSE, IDC_WRITE})
        EnableWindow(Item(id), enable ? TRUE : FALSE);
}

void CDeviceWriteDlg::DeleteAllItems() { SendMessageW(Item(IDC_ROW_LIST), LVM_DELETEALLITEMS, 0, 0); }

void CDeviceWriteDlg::InsertItem(std::size_t index, const std::string& text)
{
    std::wstring wide = Wide(text.c_str());
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(index);
    item.pszText = wide.data();
    SendMessageW(Item(IDC_ROW_LIST), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void CDeviceWriteDlg::SetItemText(std::size_t index, int column, const std::string& text, TextEncoding encoding)
{
    std::wstring wide = NarrowToWide(text, encoding);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(Item(IDC_ROW_LIST), LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
}

void CDeviceWriteDlg::ScrollToEnd() { SendMessageW(Item(IDC_ROW_LIST), WM_VSCROLL, SB_BOTTOM, 0); }

void CDeviceWriteDlg::ShowMessage(const char* text, const char* caption)
{
    MessageBoxW(m_hwnd, Wide(text).c_str(), Wide(caption).c_str(), MB_OK);
}

void CDeviceWriteDlg::StartTimer(unsigned id, unsigned periodMs)
{
    SetTimer(m_hwnd, id, RunTimerPeriodMs(periodMs), nullptr);
}

void CDeviceWriteDlg::StopTimer(unsigned id) { KillTimer(m_hwnd, id); }

void CDeviceWriteDlg::PostCloseFlag(int flag)
{
    PostMessageW(GetParent(m_hwnd), WM_SETCLOSEFLAG, static_cast<WPARAM>(flag), 0);
}
