// COrvexCtrl: the device-access control. Every method forwards to the connection
// registry; failures reach the host through the event PUErrorOut.
#pragma once
#include <windows.h>
#include <memory>
#include "activex/com_object.h"
#include "activex/object_safety.h"
#include "activex/ole_control.h"
#include "error_text.h"
#include "orvex_safety.h"
#include "orvex_ids.h"

class PuManager;

class COrvexCtrl : public activex::Implements<COrvexCtrl, activex::OleControl, activex::ObjectSafety<kOrvexSafety>> {
public:
    // Scripts and containers also ask for the control by its dispinterface's IID.
    static constexpr activex::QiAlias kAliases[] = {{&DIID__Dorvex, &IID_IDispatch}};

    COrvexCtrl();  // made by activex::CreateObject

    // _Dorvex
    void AboutBox();
    LONG WritePu(BSTR puIp, ULONG puPort, BSTR platIp, ULONG platPort, BSTR puID, BSTR newDevName, BSTR puNewIp);
    LONG Connect(BSTR Ip, ULONG port, BSTR userName, BSTR password);
    LONG DisConnect(LONG puHandle);
    LONG IsUseDomain(LONG puHandle);

private:
    ~COrvexCtrl() override;

    HRESULT InvokeMember(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, UINT* argErr) override;
    bool OnWindowCreated(HWND hwnd) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    void FirePUErrorOut(int code);

    ErrorTextMap m_mapErrorText;
    std::shared_ptr<PuManager> m_registry;  // the module-wide registry, shared with other controls
};
