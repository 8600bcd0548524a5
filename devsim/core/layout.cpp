#include "layout.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "ipv4.h"

namespace devsim {
namespace {

constexpr BlockDef kOldBlocks[] = {
    {"nms", Protocol::Old, 28, 80},
    {"syspub", Protocol::Old, 2, 412},
    {"sys", Protocol::Old, 1, 148},
    {"group51", Protocol::Old, 51, 252},
};

constexpr BlockDef kNewBlocks[] = {
    {"quor", Protocol::New, -1, 598},
    {"devinfo", Protocol::New, -1, 329},
    {"ipinfo", Protocol::New, -1, 1866},
};

constexpr FieldDef kOldFields[] = {
    {"device_name", "sys", 0, 65, FieldKind::Text, "device name", false},
    {"device_ip", "syspub", 72, 4, FieldKind::Ipv4Network, "device IP", true},
    {"netmask", "syspub", 76, 4, FieldKind::Ipv4Network, "netmask", false},
    {"gateway", "syspub", 80, 4, FieldKind::Ipv4Network, "gateway", false},
    {"platform_ip", "syspub", 92, 4, FieldKind::Ipv4Network, "platform address", true},
    {"platform_port", "syspub", 88, 2, FieldKind::U16, "platform port", false},
    {"nms_platform_ip", "nms", 4, 4, FieldKind::Ipv4Network, "platform address (NMS group)", true},
    {"nms_enabled", "nms", 0, 1, FieldKind::U8, "NMS enabled", false},
    {"pu_id", "syspub", 174, 33, FieldKind::Text, "PU id", false},
    {"pu_id2", "syspub", 207, 33, FieldKind::Text, "PU id (second field)", false},
    {"setting_275", "syspub", 275, 1, FieldKind::U8, "setting at 275", false},
    {"charset_list", "syspub", 282, 65, FieldKind::Text, "supported character sets", false},
    {"charset", "syspub", 347, 64, FieldKind::Text, "character set in use", false},
    {"firmware", "sys", 65, 32, FieldKind::Text, "firmware", false},
    {"domain_name", "group51", 0, 56, FieldKind::Text, "domain name", false},
    {"use_domain", "group51", 56, 1, FieldKind::U8, "uses domain name", false},
};

constexpr FieldDef kNewFields[] = {
    {"device_name", "devinfo", 0, 65, FieldKind::Text, "device name", false},
    {"model", "devinfo", 65, 32, FieldKind::Text, "model", false},
    {"serial", "devinfo", 97, 32, FieldKind::Text, "serial number", false},
    {"firmware", "devinfo", 129, 32, FieldKind::Text, "firmware", false},
    {"device_ip", "ipinfo", 32, 4, FieldKind::Ipv4Host, "device IP", true},
    {"netmask", "ipinfo", 24, 4, FieldKind::Ipv4Host, "netmask", false},
    {"gateway", "ipinfo", 28, 4, FieldKind::Ipv4Host, "gateway", false},
    {"dhcp", "ipinfo", 0, 1, FieldKind::U8, "DHCP", false},
    {"platform_enabled", "quor", 0, 1, FieldKind::U8, "platform access enabled", false},
    {"platform_port", "quor", 4, 2, FieldKind::U16, "platform port", false},
    {"platform_ip", "quor", 8, 4, FieldKind::Ipv4Host, "platform address", true},
    {"pu_id", "quor", 12, 33, FieldKind::Text, "PU id", false},
};

std::uint32_t LoadNative(const Bytes& block, std::size_t offset, std::size_t width)
{
    std::uint32_t v32 = 0;
    std::uint16_t v16 = 0;
    switch (width) {
    case 1: return block[offset];
    case 2: std::memcpy(&v16, &block[offset], 2); return v16;
    default: std::memcpy(&v32, &block[offset], 4); return v32;
    }
}

void StoreNative(Bytes& block, std::size_t offset, std::size_t width, std::uint32_t value)
{
    const auto v16 = static_cast<std::uint16_t>(value);
    switch (width) {
    case 1: block[offset] = static_cast<std::uint8_t>(value); break;
    case 2: std::memcpy(&block[offset], &v16, 2); break;
    default: std::memcpy(&block[offset], &value, 4); break;
    }
}

// Decimal digits only: no sign, no blanks.
bool ParseUnsigned(std::string_view text, std::uint32_t max, std::uint32_t& out)
{
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, value);
    if (text.size() > 10 || failure != std::errc() || stop != end || value > max) return false;
    out = static_cast<std::uint32_t>(value);
    return true;
}

}  // namespace

std::string_view ProtocolName(Protocol protocol)
{
    return protocol == Protocol::Old ? "old" : "new";
}

TableView<BlockDef> Blocks(Protocol protocol)
{
    if (protocol == Protocol::Old) return kOldBlocks;
    return kNewBlocks;
}

TableView<FieldDef> Fields(Protocol protocol)
{
    if (protocol == Protocol::Old) return kOldFields;
    return kNewFields;
}

const BlockDef* FindBlock(Protocol protocol, std::string_view name)
{
    for (const auto& b : Blocks(protocol))
        if (b.name == name) return &b;
    return nullptr;
}

const BlockDef* FindGroup(int group)
{
    for (const auto& b : kOldBlocks)
        if (b.group == group) return &b;
    return nullptr;
}

const FieldDef* FindField(Protocol protocol, std::string_view key)
{
    for (const auto& f : Fields(protocol))
        if (f.key == key) return &f;
    return nullptr;
}

std::string ReadField(const FieldDef& field, const Bytes& block)
{
    switch (field.kind) {
    case FieldKind::Text: {
        const auto first = block.begin() + static_cast<std::ptrdiff_t>(field.offset);
        const auto last = std::find(first, first + static_cast<std::ptrdiff_t>(field.width), 0);
        return std::string(first, last);
    }
    case FieldKind::Ipv4Network: return FormatIpv4(FromNetworkOrder(LoadNative(block, field.offset, 4)));
    case FieldKind::Ipv4Host: return FormatIpv4(LoadNative(block, field.offset, 4));
    default: return std::to_string(LoadNative(block, field.offset, field.width));
    }
}

bool WriteField(const FieldDef& field, std::string_view value, Bytes& block, std::string& error)
{
    switch (field.kind) {
    case FieldKind::Text:
        if (value.size() >= field.width || value.find('\0') != std::string_view::npos) {
            error = std::string(field.key) + ": at most " + std::to_string(field.width - 1) + " bytes";
            return false;
        }
        std::fill_n(block.begin() + static_cast<std::ptrdiff_t>(field.offset), field.width, 0);
        std::copy(value.begin(), value.end(), block.begin() + static_cast<std::ptrdiff_t>(field.offset));
        return true;
    case FieldKind::Ipv4Network:
    case FieldKind::Ipv4Host: {
        const auto address = ParseIpv4(value);
        if (!address) {
            error = std::string(field.key) + ": not a dotted-decimal IPv4 address: '" + std::string(value) + "'";
            return false;
        }
        StoreNative(block, field.offset, 4, field.kind == FieldKind::Ipv4Host ? *address : ToNetworkOrder(*address));
        return true;
    }
    default: {
        const std::uint32_t max = field.width == 1 ? 0xFFu : field.width == 2 ? 0xFFFFu : 0xFFFFFFFFu;
        std::uint32_t number = 0;
        if (!ParseUnsigned(value, max, number)) {
            error = std::string(field.key) + ": a number from 0 to " + std::to_string(max) + " expected, got '" +
                    std::string(value) + "'";
            return false;
        }
        StoreNative(block, field.offset, field.width, number);
        return true;
    }
    }
}

}  // namespace devsim
