#include "store_format.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sstream>

#include "ipv4.h"

namespace devsim {
namespace {

constexpr std::string_view kSettingsSection = "devsim";

// Counters as data: store key and member.
struct Counter {
    std::string_view key;
    long Device::*member;
};
constexpr Counter kCounters[] = {
    {"restarts", &Device::restarts}, {"logins", &Device::logins}, {"failed_logins", &Device::failed_logins},
    {"saves", &Device::saves},       {"sessions", &Device::sessions}, {"epoch", &Device::epoch},
};

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool ParseLong(std::string_view text, long& out)
{
    if (text.empty() || text.size() > 20) return false;
    const std::string copy(text);
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(copy.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < INT_MIN || value > INT_MAX) return false;
    out = static_cast<long>(value);
    return true;
}

// Collects one section's keys, then builds the device once the section is complete.
struct SectionParser {
    std::string address;
    int first_line = 0;
    std::map<std::string, std::string, std::less<>> keys;
    std::map<std::string, int, std::less<>> key_lines;

    bool Build(Device& device, std::string& error) const
    {
        const auto fail = [&](std::string_view key, const std::string& why) {
            const auto it = key_lines.find(key);
            error = "line " + std::to_string(it != key_lines.end() ? it->second : first_line) + ": " + why;
            return false;
        };
        if (!ParseIpv4(address)) return fail("", "section [" + address + "] is not an IPv4 address");
        const auto proto = keys.find("protocol");
        if (proto == keys.end()) return fail("", "device " + address + " has no protocol");
        Protocol protocol;
        if (proto->second == "old") protocol = Protocol::Old;
        else if (proto->second == "new") protocol = Protocol::New;
        else return fail("protocol", "protocol must be old or new, not '" + proto->second + "'");

        long port = 0;
        if (const auto it = keys.find("port"); it != keys.end() && (!ParseLong(it->second, port) || port < 1 || port > 65535))
            return fail("port", "port must be 1 to 65535");
        device = MakeDevice(address, protocol, static_cast<int>(port));

        for (const auto& [key, value] : keys) {
            long number = 0;
            const auto dot = key.find('.');
            const std::string_view head = dot == std::string::npos ? std::string_view(key) : std::string_view(key).substr(0, dot);
            const std::string_view tail = dot == std::string::npos ? std::string_view() : std::string_view(key).substr(dot + 1);
            if (key == "protocol" || key == "port") continue;
            if (key == "user") { device.user = value; continue; }
            if (key == "password") { device.password = value; continue; }
            if (key == "cap74") {
                if (!ParseLong(value, number)) return fail(key, "cap74 must be a number");
                device.cap74 = static_cast<int>(number);
                continue;
            }
            bool counted = false;
            for (const auto& c : kCounters)
                if (c.key == key) {
                    if (!ParseLong(value, number) || number < 0) return fail(key, key + " must be a number >= 0");
                    device.*c.member = number;
                    counted = true;
                }
            if (counted) continue;
            if (head == "raw" || head == "pending") {
                const BlockDef* block = FindBlock(protocol, tail);
                if (!block) return fail(key, "no block '" + std::string(tail) + "' on a device of this protocol");
                auto bytes = FromHex(value, block->size);
                if (!bytes) return fail(key, key + ": bad hex or longer than " + std::to_string(block->size) + " bytes");
                (head == "raw" ? device.blocks : device.pending)[std::string(tail)] = std::move(*bytes);
                continue;
            }
            if (head == "fault" || head == "fault_once" || head == "delay") {
                if (!IsKnownCall(protocol, tail)) return fail(key, "unknown call '" + std::string(tail) + "'");
                if (!ParseLong(value, number)) return fail(key, key + " must be a number");
                auto& table = head == "fault" ? device.faults : head == "delay" ? device.delays : device.faults_once;
                table[std::string(tail)] = static_cast<int>(number);
                continue;
            }
            if (!FindField(protocol, key)) return fail(key, "unknown key '" + key + "'");
        }
        // Named fields last: they win over the raw bytes where they differ.
        for (const auto& field : Fields(protocol)) {
            const auto it = keys.find(field.key);
            if (it == keys.end() || device.Field(field.key) == it->second) continue;
            std::string why;
            if (!device.SetField(field.key, it->second, why)) return fail(field.key, why);
        }
        return true;
    }
};

}  // namespace

Device* StoreData::Find(std::string_view address)
{
    const auto it = devices.find(address);
    return it == devices.end() ? nullptr : &it->second;
}

std::string SerializeStore(const StoreData& data)
{
    std::ostringstream out;
    out << "# Simulated devices of the stand-in device libraries. Edit with the devsim tool.\n";
    out << "[" << kSettingsSection << "]\n";
    out << "unreachable_delay_ms = " << data.unreachable_delay_ms << "\n";
    for (const auto& [address, device] : data.devices) {
        out << "\n[" << address << "]\n";
        out << "protocol = " << ProtocolName(device.protocol) << "\n";
        out << "port = " << device.port << "\n";
        out << "user = " << EscapeValue(device.user) << "\n";
        out << "password = " << EscapeValue(device.password) << "\n";
        if (device.protocol == Protocol::Old) out << "cap74 = " << device.cap74 << "\n";
        for (const auto& c : kCounters) out << c.key << " = " << device.*c.member << "\n";
        for (const auto& field : Fields(device.protocol))
            out << field.key << " = " << EscapeValue(device.Field(field.key)) << "\n";
        for (const auto& [call, code] : device.faults) out << "fault." << call << " = " << code << "\n";
        for (const auto& [call, code] : device.faults_once) out << "fault_once." << call << " = " << code << "\n";
        for (const auto& [call, ms] : device.delays) out << "delay." << call << " = " << ms << "\n";
        for (const auto& [name, bytes] : device.blocks) out << "raw." << name << " = " << ToHex(bytes) << "\n";
        for (const auto& [name, bytes] : device.pending) out << "pending." << name << " = " << ToHex(bytes) << "\n";
    }
    return out.str();
}

bool ParseStore(std::string_view text, StoreData& out, std::string& error)
{
    StoreData data;
    SectionParser section;
    bool in_settings = false;
    bool in_device = false;
    int line_no = 0;
    const auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(line_no) + ": " + why;
        return false;
    };
    const auto finish = [&]() {
        if (!in_device) return true;
        Device device;
        if (!section.Build(device, error)) return false;
        data.devices[section.address] = std::move(device);
        return true;
    };

    std::size_t pos = 0;
    while (pos <= text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        const std::string_view line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        ++line_no;
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        if (line.front() == '[') {
            if (line.back() != ']') return fail("section header without ']'");
            if (!finish()) return false;
            std::string name(Trim(line.substr(1, line.size() - 2)));
            in_settings = name == kSettingsSection;
            in_device = !in_settings;
            // A device is kept under the text the libraries look it up by: a hand-written
            // "[010.001.000.009]" is the device at 10.1.0.9, and one address is one device.
            if (const auto address = ParseIpv4(name); in_device && address) name = FormatIpv4(*address);
            if (in_device && data.devices.count(name)) return fail("device " + name + " appears twice");
            section = SectionParser{name, line_no, {}, {}};
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string_view::npos) return fail("expected 'key = value'");
        const std::string key(Trim(line.substr(0, eq)));
        std::string_view raw_value = line.substr(eq + 1);
        if (!raw_value.empty() && raw_value.front() == ' ') raw_value.remove_prefix(1);
        const auto value = UnescapeValue(raw_value);
        if (key.empty() || !value) return fail("bad key or escape in value");
        if (in_settings) {
            long ms = 0;
            if (key != "unreachable_delay_ms" || !ParseLong(*value, ms) || ms < 0 || ms > 600000)
                return fail("[devsim] knows only unreachable_delay_ms (0 to 600000)");
            data.unreachable_delay_ms = static_cast<int>(ms);
        } else if (in_device) {
            if (section.keys.count(key)) return fail("key " + key + " appears twice");
            section.keys[key] = *value;
            section.key_lines[key] = line_no;
        } else {
            return fail("key outside any section");
        }
    }
    if (!finish()) return false;
    out = std::move(data);
    return true;
}

}  // namespace devsim
