#include "list_check.h"

#include <unordered_map>
#include <utility>

#include "device_row.h"
#include "input_checks.h"
#include "ipv4_text.h"
#include "number_text.h"

namespace trevanil_host {
namespace {

RowCheck CheckRow(std::size_t number, const DeviceRow& row, const std::optional<DialogPlatform>& platform)
{
    RowCheck check;
    check.number = number;
    const std::optional<DeviceRowValues> device = TakeCompleteDevice(row);
    if (!device) return check;  // Incomplete
    check.name = device->name;
    check.id = device->id;
    check.deviceIp = device->ip;
    if (IsGbDevice(*device)) {
        check.verdict = RowVerdict::GbRefused;
        return check;
    }
    if (HasOwnPlatform(*device)) {
        check.ownPlatform = true;
        check.platformKnown = true;
        check.platformIp = device->platformIp;
        check.platformPortText = device->platformPort;
        check.platformPort = AtoiLike(device->platformPort);
        if (!IsPlatformPortInRange(check.platformPort)) {
            check.verdict = RowVerdict::OwnPortInvalid;
            return check;
        }
    } else if (platform) {
        check.platformKnown = true;
        check.platformIp = platform->ip;
        check.platformPort = AtoiLike(platform->port);
    }
    // The device IP is logged in to and written back as the new IP; orvex checks both
    // and the platform IP before any login.
    check.badDeviceIp = !ParseIpv4NetworkOrder(check.deviceIp.c_str());
    check.badPlatformIp = check.platformKnown && !ParseIpv4NetworkOrder(check.platformIp.c_str());
    check.verdict = check.badDeviceIp || check.badPlatformIp ? RowVerdict::IpTextRefused : RowVerdict::Write;
    return check;
}

// Groups of rows sharing a key, in the order of their first row.
template <class Key>
class CDuplicateFinder
{
public:
    void Add(const Key& key, std::size_t index)
    {
        auto [slot, added] = m_groups.try_emplace(key, m_order.size());
        if (added) m_order.emplace_back();
        m_order[slot->second].push_back(index);
    }

    // Each group of two or more, as row indexes.
    template <class Visit>
    void ForEachDuplicate(Visit visit) const
    {
        for (const std::vector<std::size_t>& indexes : m_order)
            if (indexes.size() > 1) visit(indexes);
    }

private:
    std::unordered_map<Key, std::size_t> m_groups;
    std::vector<std::vector<std::size_t>> m_order;
};

DuplicateGroup MakeGroup(const std::vector<RowCheck>& rows, const std::vector<std::size_t>& indexes,
                         std::string key)
{
    DuplicateGroup group{std::move(key), {}};
    group.rows.reserve(indexes.size());
    for (std::size_t index : indexes) group.rows.push_back(rows[index].number);
    return group;
}

} // namespace

bool ListCheck::AllClear() const
{
    return Count(RowVerdict::Write) == rows.size() && duplicateIds.empty() && duplicateIps.empty();
}

ListCheck CheckDeviceList(const DeviceList& list, const std::optional<DialogPlatform>& platform)
{
    ListCheck result;
    result.rows.reserve(list.rows.size());
    CDuplicateFinder<std::string> ids;
    CDuplicateFinder<std::uint32_t> ips;
    for (std::size_t i = 0; i < list.rows.size(); ++i) {
        RowCheck row = CheckRow(i + 1, list.rows[i], platform);
        ++result.counts[static_cast<std::size_t>(row.verdict)];
        if (row.verdict == RowVerdict::Write) {
            ids.Add(row.id, i);
            ips.Add(*ParseIpv4NetworkOrder(row.deviceIp.c_str()), i);
        }
        result.rows.push_back(std::move(row));
    }
    ids.ForEachDuplicate([&](const std::vector<std::size_t>& indexes) {
        result.duplicateIds.push_back(MakeGroup(result.rows, indexes, result.rows[indexes.front()].id));
    });
    ips.ForEachDuplicate([&](const std::vector<std::size_t>& indexes) {
        result.duplicateIps.push_back(MakeGroup(result.rows, indexes, result.rows[indexes.front()].deviceIp));
    });
    return result;
}

} // namespace trevanil_host
