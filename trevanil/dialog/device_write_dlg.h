// CDeviceWriteDlg: the batch control's whole surface, a child dialog (template 201) in
// which the operator enters the platform address, picks the device list and starts or
// cancels the batch write. The run's logic lives in CBatchRun; this class is its view
// over the dialog's controls, and binds the embedded device-access control (208).
#pragma once
#include <windows.h>
#include <string>
#include "batch_run.h"
#include "orvex_binding.h"

// Posted to the control window: wParam 1 when a run starts, 0 when none is active any more.
constexpr UINT WM_SETCLOSEFLAG = WM_USER + 100;

class CDeviceWriteDlg final : private IBatchView {
public:
    CDeviceWriteDlg();
    ~CDeviceWriteDlg();
    CDeviceWriteDlg(const CDeviceWriteDlg&) = delete;
    CDeviceWriteDlg& operator=(const CDeviceWriteDlg&) = delete;

    // Makes the dialog window as a child of `parent`; false when the system refuses.
    bool Create(HINSTANCE module, HWND parent);
    void Destroy();
    HWND Window() const { return m_hwnd; }

    // 1 Chinese, 2 English; any other value changes nothing. Shown at once when the
    // window exists, else when it is made.
    void SetLanguage(int n);
    int Language() const { return m_run.Language(); }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void OnInitDialog();
    void ApplyLanguage();
    void OnBrowse();
    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }

    // IBatchView
    BatchFields ReadFields() override;
    void WriteFields(const BatchFields& fields) override;
    void EnableInputs(bool enable) override;
    void DeleteAllItems() override;
    void InsertItem(std::size_t index, const std::string& text) override;
    void SetItemText(std::size_t item, int column, const std::string& text, TextEncoding encoding) override;
    void ScrollToEnd() override;
    void ShowMessage(const char* text, const char* caption) override;
    void StartTimer(unsigned id, unsigned periodMs) override;
    void StopTimer(unsigned id) override;
    void PostCloseFlag(int flag) override;

    HWND m_hwnd = nullptr;
    COrvex m_orvex;
    CBatchRun m_run;
    BatchFields m_initialFields;
};
