// COrvex: the embedded device-access control (orvex's COrvexCtrl, dialog control 208)
// driven through its dispatch interface by DISPID. Strings cross as BSTRs made from
// the device list's encoding, integers as VT_I4. The batch run sees it as its device access.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include "activex/raii.h"
#include "device_access.h"

class COrvex final : public IDeviceAccess {
public:
    // Binds to the control hosted in the dialog's control window `site` (an AtlAxWin
    // window). Without a control there the binding stays unavailable.
    void Attach(HWND site);
    void Detach() { m_control.reset(); }

    bool IsAvailable() const override { return static_cast<bool>(m_control); }
    std::int32_t Connect(const std::string& ip, std::int32_t port, const std::string& userName,
                         const std::string& password, TextEncoding encoding) override;
    std::int32_t WritePu(const std::string& puIp, std::int32_t puPort, const std::string& platIp,
                         std::int32_t platPort, const std::string& puId, const std::string& newDevName,
                         const std::string& puNewIp, TextEncoding encoding) override;

private:
    activex::ComPtr<IDispatch> m_control;
};

// The UTF-16 form of a narrow text of the given encoding (ANSI: the system's code page).
std::wstring NarrowToWide(const std::string& text, TextEncoding encoding);
