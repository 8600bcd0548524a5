// One connection point for one event dispinterface, kept inside its container and
// sharing the container's reference count. Events are fired synchronously, on the
// calling thread, to every sink advised at that moment.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <utility>
#include <vector>
#include "com_object.h"
#include "raii.h"

namespace activex {

class ConnectionPoint : public Contained<ConnectionPoint, IConnectionPoint> {
public:
    ConnectionPoint(IConnectionPointContainer* container, REFIID eventIid)
        : Contained(container), m_container(container), m_eventIid(eventIid) {}

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** out) override;

    REFIID EventIid() const { return m_eventIid; }
    // Invokes `id` with `args` (in reverse order, as DISPPARAMS wants) on every sink.
    void Fire(DISPID id, VARIANTARG* args, UINT argCount);
    // Drops every sink (the container is going away).
    void UnadviseAll() { m_sinks.clear(); }

private:
    IConnectionPointContainer* m_container;
    IID m_eventIid;
    DWORD m_nextCookie = 1;
    std::vector<std::pair<DWORD, ComPtr<IDispatch>>> m_sinks;
};

// IConnectionPointContainer::EnumConnectionPoints for a container with one point.
HRESULT EnumOneConnectionPoint(IConnectionPoint* point, IEnumConnectionPoints** out);

} // namespace activex
