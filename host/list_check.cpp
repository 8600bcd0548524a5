#include "list_check.h"

#include <algorithm>
#include <string_view>
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
    std::optional<DeviceRowValues> device = TakeCompleteDevice(row);
    if (!device) return check;  // Incomplete
    check.name = std::move(device->name);
    check.id = std::move(device->id);
    check.deviceIp = std::move(device->ip);
    if (IsGbDevice(*device)) {
        check.verdict = RowVerdict::GbRefused;
        return check;
    }
    if (HasOwnPlatform(*device)) {
        check.ownPlatform = true;
        check.platformKnown = true;
        check.platformIp = std::move(device->platformIp);
        check.platformPortText = std::move(device->platformPort);
        check.platformPort = AtoiLike(check.platformPortText);
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

// The groups of two or more items sharing a key: their indexes, ascending, the groups in
// the order of their first index. Sorting instead of hashing costs no allocation per item.
template <class Key>
std::vector<std::vector<std::size_t>> SharedKeys(std::vector<std::pair<Key, std::size_t>> items)
{
    std::sort(items.begin(), items.end());
    std::vector<std::vector<std::size_t>> groups;
    for (std::size_t first = 0; first < items.size();) {
        std::size_t end = first + 1;
        while (end < items.size() && items[end].first == items[first].first) ++end;
        if (end - first > 1) {
            std::vector<std::size_t>& group = groups.emplace_back();
            for (std::size_t i = first; i < end; ++i) group.push_back(items[i].second);
        }
        first = end;
    }
    std::sort(groups.begin(), groups.end(),
              [](const std::vector<std::size_t>& a, const std::vector<std::size_t>& b) { return a.front() < b.front(); });
    return groups;
}

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
    // The IDs are looked at in place: the rows do not move once reserved.
    std::vector<std::pair<std::string_view, std::size_t>> ids;
    std::vector<std::pair<std::uint32_t, std::size_t>> ips;
    for (std::size_t i = 0; i < list.rows.size(); ++i) {
        const RowCheck& row = result.rows.emplace_back(CheckRow(i + 1, list.rows[i], platform));
        ++result.counts[static_cast<std::size_t>(row.verdict)];
        if (row.verdict == RowVerdict::Write) {
            ids.emplace_back(row.id, i);
            ips.emplace_back(*ParseIpv4NetworkOrder(row.deviceIp.c_str()), i);
        }
    }
    for (const std::vector<std::size_t>& indexes : SharedKeys(std::move(ids)))
        result.duplicateIds.push_back(MakeGroup(result.rows, indexes, result.rows[indexes.front()].id));
    for (const std::vector<std::size_t>& indexes : SharedKeys(std::move(ips)))
        result.duplicateIps.push_back(MakeGroup(result.rows, indexes, result.rows[indexes.front()].deviceIp));
    return result;
}

} // namespace trevanil_host
