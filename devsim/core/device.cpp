#include "device.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "ipv4.h"

namespace devsim {
namespace {

struct Default {
    std::string_view key;
    std::string_view value;  // "$ip": the device's own address
};

constexpr Default kOldDefaults[] = {
    {"device_ip", "$ip"},          {"netmask", "255.255.255.0"},     {"gateway", "$gw"},
    {"nms_enabled", "1"},          {"setting_275", "0"},             {"charset_list", "GB2312,UTF-8"},
    {"charset", "GB2312"},         {"device_name", "$name"},         {"firmware", "V5.3.8 build 190412"},
    {"use_domain", "0"},
};

constexpr Default kNewDefaults[] = {
    {"device_ip", "$ip"},          {"netmask", "255.255.255.0"},     {"gateway", "$gw"},
    {"dhcp", "0"},                 {"platform_enabled", "1"},        {"device_name", "$name"},
    {"model", "RC-IPC-7120"},      {"serial", "$serial"},            {"firmware", "V7.2.1 build 230511"},
};

constexpr std::string_view kOldCalls[] = {
    "ZRM_ConnectPU", "ZRM_GetPuParam", "ZRM_SetPuParam", "ZRM_GetPuCapVal",
    "ZRM_SaveSettings", "ZRM_IsConnected", "ZRM_DisConnectPU", "ZRM_RebootPu",
};

constexpr std::string_view kNewCalls[] = {
    "IPC_Login", "IPC_AddConnectDetect", "IPC_GetQuor", "IPC_SetQuor", "IPC_GetDeviceInfo",
    "IPC_SetDeviceInfo", "IPC_GetIpInfo", "IPC_SetIpInfo", "IPC_IsConnect", "IPC_DelConnectDetect",
    "IPC_Logout", "IPC_SystemReboot",
};

std::string Expand(std::string_view value, const std::string& address)
{
    const auto ip = ParseIpv4(address).value_or(0);
    if (value == "$ip") return address;
    if (value == "$gw") return FormatIpv4((ip & 0xFFFFFF00u) | 1u);
    if (value == "$name") return "IPC-" + std::to_string(ip & 0xFFu);
    if (value == "$serial") {
        char text[24];
        std::snprintf(text, sizeof text, "RC7%08X", static_cast<unsigned>(ip));
        return text;
    }
    return std::string(value);
}

TableView<std::string_view> CallsOf(Protocol protocol)
{
    if (protocol == Protocol::Old) return kOldCalls;
    return kNewCalls;
}

}  // namespace

const Bytes& Device::Current(std::string_view block) const
{
    const auto p = pending.find(block);
    if (p != pending.end()) return p->second;
    const auto b = blocks.find(block);
    if (b == blocks.end()) throw std::logic_error("device has no block " + std::string(block));
    return b->second;
}

std::string Device::Field(std::string_view key, bool unsaved) const
{
    const FieldDef* field = FindField(protocol, key);
    if (!field) return {};
    return ReadField(*field, unsaved ? Current(field->block) : blocks.find(field->block)->second);
}

bool Device::SetField(std::string_view key, std::string_view value, std::string& error)
{
    const FieldDef* field = FindField(protocol, key);
    if (!field) {
        error = "no field '" + std::string(key) + "' on a device of the " + std::string(ProtocolName(protocol)) +
                " protocol";
        return false;
    }
    return WriteField(*field, value, blocks[std::string(field->block)], error);
}

bool Device::AcceptsWrite(std::string_view block, const Bytes& incoming) const
{
    const Bytes& current = Current(block);
    for (const auto& field : Fields(protocol)) {
        if (!field.address_guarded || field.block != block) continue;
        const std::string now = ReadField(field, current);
        const std::string next = ReadField(field, incoming);
        if (next != now && (next == "0.0.0.0" || next == "255.255.255.255")) return false;
    }
    return true;
}

Device MakeDevice(std::string address, Protocol protocol, int port, std::string user, std::string password)
{
    Device device;
    device.address = std::move(address);
    device.protocol = protocol;
    device.port = port != 0 ? port : protocol == Protocol::Old ? kOldProtocolPort : kNewProtocolPort;
    device.user = std::move(user);
    device.password = std::move(password);
    for (const auto& block : Blocks(protocol)) device.blocks[std::string(block.name)] = Bytes(block.size, 0);
    std::string error;
    for (const Default& d : protocol == Protocol::Old ? TableView<Default>(kOldDefaults) : TableView<Default>(kNewDefaults))
        if (!device.SetField(d.key, Expand(d.value, device.address), error))
            throw std::logic_error("bad factory default: " + error);
    return device;
}

bool IsKnownCall(Protocol protocol, std::string_view call)
{
    const auto calls = CallsOf(protocol);
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

std::string KnownCalls(Protocol protocol)
{
    std::string out;
    for (auto name : CallsOf(protocol)) {
        if (!out.empty()) out += ", ";
        out += name;
    }
    return out;
}

}  // namespace devsim
