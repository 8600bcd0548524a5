#include "connection_point.h"
#include "com_object.h"
#include <algorithm>

namespace activex {
namespace {

// Enumerator over a snapshot of items; T is CONNECTDATA or IConnectionPoint*.
template <class Enum, class T, const IID* EnumIid>
class SnapshotEnum : public Implements<SnapshotEnum<Enum, T, EnumIid>, Enum> {
public:
    using Self = SnapshotEnum<Enum, T, EnumIid>;

    explicit SnapshotEnum(std::vector<T> items, size_t position = 0) : m_items(std::move(items)), m_pos(position)
    {
        for (T& item : m_items) Unknown(item)->AddRef();
    }
    ~SnapshotEnum() override
    {
        for (T& item : m_items) Unknown(item)->Release();
    }

    STDMETHODIMP Next(ULONG count, T* out, ULONG* fetched) override
    {
        if (!out || (count > 1 && !fetched)) return E_POINTER;
        ULONG n = 0;
        for (; n < count && m_pos < m_items.size(); ++n, ++m_pos) {
            out[n] = m_items[m_pos];
            Unknown(out[n])->AddRef();
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override
    {
        m_pos = std::min<size_t>(m_items.size(), m_pos + count);
        return m_pos < m_items.size() ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override { m_pos = 0; return S_OK; }
    STDMETHODIMP Clone(Enum** out) override
    {
        return CreateObject<Self>(*EnumIid, reinterpret_cast<void**>(out), m_items, m_pos);
    }

private:
    static IUnknown* Unknown(CONNECTDATA& d) { return d.pUnk; }
    static IUnknown* Unknown(IConnectionPoint*& p) { return p; }
    std::vector<T> m_items;
    size_t m_pos;
};

using ConnectionsEnum = SnapshotEnum<IEnumConnections, CONNECTDATA, &IID_IEnumConnections>;
using PointsEnum = SnapshotEnum<IEnumConnectionPoints, IConnectionPoint*, &IID_IEnumConnectionPoints>;

} // namespace

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) { return CopyOut(iid, m_eventIid); }

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out)
{
    if (!out) return E_POINTER;
    *out = m_container;
    m_container->AddRef();
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    ComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(m_eventIid, dispatch.put_void())) &&
        FAILED(sink->QueryInterface(IID_IDispatch, dispatch.put_void())))
        return CONNECT_E_CANNOTCONNECT;
    return Barrier("ConnectionPoint::Advise", [&] {
        m_sinks.emplace_back(m_nextCookie, std::move(dispatch));
        *cookie = m_nextCookie++;
    });
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie)
{
    const auto it = std::find_if(m_sinks.begin(), m_sinks.end(), [&](const auto& s) { return s.first == cookie; });
    if (it == m_sinks.end()) return CONNECT_E_NOCONNECTION;
    m_sinks.erase(it);
    return S_OK;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    return Barrier("ConnectionPoint::EnumConnections", [&] {
        std::vector<CONNECTDATA> items;
        for (auto& [cookie, sink] : m_sinks) items.push_back({sink.get(), cookie});
        return CreateObject<ConnectionsEnum>(IID_IEnumConnections, reinterpret_cast<void**>(out), std::move(items));
    });
}

void ConnectionPoint::Fire(DISPID id, VARIANTARG* args, UINT argCount)
{
    // A sink may unadvise (or advise) while it handles the event: fire to a snapshot.
    std::vector<ComPtr<IDispatch>> sinks;
    for (auto& entry : m_sinks) sinks.push_back(entry.second);
    DISPPARAMS params{args, nullptr, argCount, 0};
    for (auto& sink : sinks) sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                                          nullptr, nullptr);
}

HRESULT EnumOneConnectionPoint(IConnectionPoint* point, IEnumConnectionPoints** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    return Barrier("EnumOneConnectionPoint", [&] {
        return CreateObject<PointsEnum>(IID_IEnumConnectionPoints, reinterpret_cast<void**>(out),
                                        std::vector<IConnectionPoint*>{point});
    });
}

} // namespace activex
