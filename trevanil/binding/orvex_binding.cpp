#include "orvex_binding.h"

#include "orvex/control/orvex_contract.h"

#include <initializer_list>
#include <vector>
#include "activex/atl_container.h"
#include "activex/wide_text.h"

namespace {

// The DISPIDs of orvex's _Dorvex that the batch run calls.
constexpr DISPID kDispidWritePu = ORVEX_DISPID_WRITEPU;
constexpr DISPID kDispidConnect = ORVEX_DISPID_CONNECT;

// One argument of a call: text (a BSTR owned here) or a 32-bit integer.
class CallArg {
public:
    CallArg(const std::string& text, TextEncoding encoding) : m_text(NarrowToWide(text, encoding).c_str()) {}
    CallArg(std::int32_t value) : m_value(value), m_isText(false) {}

    VARIANTARG AsVariant() const
    {
        VARIANTARG v;
        VariantInit(&v);
        if (m_isText) {
            V_VT(&v) = VT_BSTR;
            V_BSTR(&v) = m_text.get();
        } else {
            V_VT(&v) = VT_I4;
            V_I4(&v) = m_value;
        }
        return v;
    }

private:
    activex::UniqueBstr m_text;
    std::int32_t m_value = 0;
    bool m_isText = true;
};

// Calls a method by DISPID with the arguments in their declared order; the result as
// a 32-bit integer, 0 when the call fails.
std::int32_t CallMethod(IDispatch* control, DISPID id, std::initializer_list<const CallArg*> args)
{
    if (!control) return 0;
    // DISPPARAMS lists the arguments last first.
    std::vector<VARIANTARG> reversed;
    for (auto it = std::rbegin(args); it != std::rend(args); ++it) reversed.push_back((*it)->AsVariant());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    activex::UniqueVariant result;
    if (FAILED(control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.put(), nullptr,
                               nullptr)))
        return 0;
    activex::UniqueVariant asLong;
    if (FAILED(VariantChangeType(asLong.put(), result.get(), 0, VT_I4))) return 0;
    return V_I4(asLong.get());
}

} // namespace

std::wstring NarrowToWide(const std::string& text, TextEncoding encoding)
{
    return activex::WideFromNarrow(text, encoding == TextEncoding::Utf8 ? CP_UTF8 : CP_ACP);
}

void COrvex::Attach(HWND site)
{
    m_control.reset();
    const activex::AtlContainer* atl = activex::AtlContainer::Get();
    activex::ComPtr<IUnknown> unknown;
    if (!site || !atl || FAILED(atl->GetControl(site, unknown.put())) || !unknown) return;
    unknown->QueryInterface(IID_IDispatch, m_control.put_void());
}

std::int32_t COrvex::Connect(const std::string& ip, std::int32_t port, const std::string& userName,
                             const std::string& password, TextEncoding encoding)
{
    const CallArg a0(ip, encoding), a1(port), a2(userName, encoding), a3(password, encoding);
    return CallMethod(m_control.get(), kDispidConnect, {&a0, &a1, &a2, &a3});
}

std::int32_t COrvex::WritePu(const std::string& puIp, std::int32_t puPort, const std::string& platIp,
                             std::int32_t platPort, const std::string& puId, const std::string& newDevName,
                             const std::string& puNewIp, TextEncoding encoding)
{
    const CallArg a0(puIp, encoding), a1(puPort), a2(platIp, encoding), a3(platPort), a4(puId, encoding),
        a5(newDevName, encoding), a6(puNewIp, encoding);
    return CallMethod(m_control.get(), kDispidWritePu, {&a0, &a1, &a2, &a3, &a4, &a5, &a6});
}
