#include "object_safety.h"

#include <ocidl.h>
#include "raii.h"

namespace activex {
namespace {

static_assert(kSafeForUntrustedCaller == INTERFACESAFE_FOR_UNTRUSTED_CALLER);
static_assert(kSafeForUntrustedData == INTERFACESAFE_FOR_UNTRUSTED_DATA);

const IID* const kPersistenceIids[] = {&IID_IPersistPropertyBag, &IID_IPersistStreamInit, &IID_IPersistStorage,
                                       &IID_IPersistMemory};

} // namespace

SafetyInterface SafetyKindOf(IUnknown* object, REFIID iid)
{
    ComPtr<IUnknown> probe;
    if (FAILED(object->QueryInterface(iid, probe.put_void()))) return SafetyInterface::NotExposed;
    if (IsEqualIID(iid, IID_IDispatch)) return SafetyInterface::Dispatch;
    for (const IID* persist : kPersistenceIids)
        if (IsEqualIID(iid, *persist)) return SafetyInterface::Persistence;
    return SafetyInterface::Other;
}

HRESULT ToHResult(SafetyAnswer answer)
{
    constexpr HRESULT kResults[] = {S_OK, E_NOINTERFACE, E_FAIL, E_POINTER};  // in SafetyAnswer's order
    return kResults[static_cast<int>(answer)];
}

} // namespace activex
