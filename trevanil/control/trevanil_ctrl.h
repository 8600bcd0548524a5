// CTrevanilCtrl: the batch registration control. Its whole surface is the device write
// dialog; the host may choose its language (SetLangue) and hears through SetCloseFlag
// whether a batch write is under way.
#pragma once
#include <windows.h>
#include "activex/object_safety.h"
#include "activex/ole_control.h"
#include "device_write_dlg.h"
#include "trevanil_ids.h"
#include "trevanil_safety.h"

class CTrevanilCtrl
    : public activex::Implements<CTrevanilCtrl, activex::OleControl, activex::ObjectSafety<kTrevanilSafety>> {
public:
    static constexpr activex::QiAlias kAliases[] = {{&DIID__DTrevanil, &IID_IDispatch}};

    CTrevanilCtrl();  // made by activex::CreateObject

    // _DTrevanil
    void SetLangue(short nLangueType);

private:
    ~CTrevanilCtrl() override;

    HRESULT InvokeMember(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, UINT* argErr) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnDraw(HDC dc, const RECT& bounds) override;
    bool PreTranslateMessage(MSG* msg) override;
    HRESULT OnActivateInPlace(bool uiActivate, MSG* msg) override;

    void FireSetCloseFlag(short nCloseFlag);

    CDeviceWriteDlg m_dialog;
};
