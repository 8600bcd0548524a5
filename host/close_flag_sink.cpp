#include "close_flag_sink.h"

#include "activex/com_object.h"
#include "trevanil/control/trevanil_ids.h"

namespace trevanil_host {
namespace {

// The event interface is a dispinterface: the control calls Invoke with the event's DISPID.
class CCloseFlagSink : public activex::Implements<CCloseFlagSink, IDispatch> {
public:
    // The control's connection point may ask for its event dispinterface by IID.
    static constexpr activex::QiAlias kAliases[] = {{&DIID__DTrevanilEvents, &IID_IDispatch}};

    explicit CCloseFlagSink(std::function<void(short)> onCloseFlag) : m_onCloseFlag(std::move(onCloseFlag)) {}
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        if (count) *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return activex::Barrier("CCloseFlagSink::Invoke", [&]() -> HRESULT {
            if (id != DISPID_TREVANIL_SETCLOSEFLAG || !params || params->cArgs != 1) return DISP_E_MEMBERNOTFOUND;
            VARIANT flag;
            VariantInit(&flag);
            if (FAILED(VariantChangeType(&flag, &params->rgvarg[0], 0, VT_I2))) return DISP_E_TYPEMISMATCH;
            m_onCloseFlag(V_I2(&flag));
            return S_OK;
        });
    }

private:
    std::function<void(short)> m_onCloseFlag;
};

} // namespace

HRESULT CreateCloseFlagSink(std::function<void(short)> onCloseFlag, IDispatch** out)
{
    return activex::CreateObject<CCloseFlagSink>(IID_IDispatch, reinterpret_cast<void**>(out), std::move(onCloseFlag));
}

} // namespace trevanil_host
