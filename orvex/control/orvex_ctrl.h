// COrvexCtrl: the device-access control. Every method forwards to the connection
// registry; failures reach the host through the event PUErrorOut.
#pragma once
#include <windows.h>
#include <objsafe.h>
#include <memory>
#include "activex/com_object.h"
#include "activex/dispatch_table.h"
#include "activex/ole_control.h"
#include "error_text.h"
#include "object_safety.h"

class PuManager;

class COrvexCtrl : public activex::OleControl, public IObjectSafety {
public:
    static HRESULT Create(REFIID iid, void** out);

    ACTIVEX_FORWARD_IUNKNOWN()

    // IObjectSafety
    STDMETHODIMP GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) override;
    STDMETHODIMP SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) override;

    // _Dorvex
    void AboutBox();
    LONG WritePu(BSTR puIp, ULONG puPort, BSTR platIp, ULONG platPort, BSTR puID, BSTR newDevName, BSTR puNewIp);
    LONG Connect(BSTR Ip, ULONG port, BSTR userName, BSTR password);
    LONG DisConnect(LONG puHandle);
    LONG IsUseDomain(LONG puHandle);

private:
    COrvexCtrl();
    ~COrvexCtrl() override;

    void* FindInterface(REFIID iid) override;
    HRESULT InvokeMember(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, UINT* argErr) override;
    bool OnWindowCreated(HWND hwnd) override;

    void FirePUErrorOut(int code);

    static const activex::QiEntry<COrvexCtrl> kQiTable[];
    static const activex::DispEntry<COrvexCtrl> kDispTable[];

    ErrorTextMap m_mapErrorText;
    std::shared_ptr<PuManager> m_registry;  // the module-wide registry, shared with other controls
};
