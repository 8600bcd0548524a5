// IObjectSafety answered by a control's rules (safety_rules.h), behind the exception
// barrier. A control lists it like an interface:
//   class CCtrl : public activex::Implements<CCtrl, activex::OleControl, activex::ObjectSafety<kCtrlSafety>>
#pragma once
#include <windows.h>
#include <objsafe.h>
#include "com_object.h"
#include "safety_rules.h"

namespace activex {

SafetyInterface SafetyKindOf(IUnknown* object, REFIID iid);  // asks `object` whether it exposes `iid`
HRESULT ToHResult(SafetyAnswer answer);

template <const SafetyRules& Rules>
class ObjectSafety : public InterfaceGroup<IObjectSafety> {
public:
    STDMETHODIMP GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) override
    {
        return Barrier("IObjectSafety::GetInterfaceSafetyOptions", [&] {
            std::uint32_t s = 0, e = 0;  // a DWORD is an unsigned long
            const SafetyAnswer answer =
                GetSafetyOptions(Rules, SafetyKindOf(this, iid), supported ? &s : nullptr, enabled ? &e : nullptr);
            if (answer != SafetyAnswer::NullPointer) {
                *supported = s;
                *enabled = e;
            }
            return ToHResult(answer);
        });
    }
    STDMETHODIMP SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) override
    {
        return Barrier("IObjectSafety::SetInterfaceSafetyOptions",
                       [&] { return ToHResult(SetSafetyOptions(Rules, SafetyKindOf(this, iid), mask, enabled)); });
    }
};

} // namespace activex
