#include "devsim_tool.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <ostream>

#include "fleet.h"
#include "ipv4.h"
#include "store.h"

namespace devsim {
namespace {

using Args = std::vector<std::string>;

constexpr int kMaxDelayMs = 600000;

constexpr const char* kUsage =
    "usage: devsim [--store PATH] COMMAND ...\n"
    "  add IP --protocol old|new [--port N] [--user U] [--password P] [--name NAME] [--replace]\n"
    "  remove IP\n"
    "  set IP FIELD VALUE          FIELD: port, user, password, cap74 or a named field (see show)\n"
    "  fault IP CALL CODE|clear    the call answers with this library error value\n"
    "  fault-once IP CALL CODE|clear  the same, for the next call only\n"
    "  delay IP CALL MS|clear      the call takes this long\n"
    "  drop IP                     the device's open connections die\n"
    "  unreachable-delay MS        how long a login to an address without a device waits\n"
    "  show [IP]                   what the devices hold now\n"
    "  list                        one line per device\n"
    "  fleet [--replace]           add the demo fleet\n"
    "  path                        the store file in use\n"
    "The store is the file named by ORVEX_DEVSIM_STORE, else ./devsim-store.ini.\n";

// A usage error: the message for the user; nothing has been changed.
struct UsageError {
    std::string message;
};

std::optional<long> ParseInt(const std::string& text, long min, long max)
{
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < min || value > max) return std::nullopt;
    return static_cast<long>(value);
}

std::string CheckedAddress(const std::string& text)
{
    const auto address = ParseIpv4(text);
    if (!address) throw UsageError{"'" + text + "' is not an IPv4 address (expected four numbers 0-255, like 192.168.1.10)"};
    return FormatIpv4(*address);
}

int CheckedPort(const std::string& text)
{
    const auto port = ParseInt(text, 1, 65535);
    if (!port) throw UsageError{"port must be a number from 1 to 65535, not '" + text + "'"};
    return static_cast<int>(*port);
}

int CheckedDelay(const std::string& text)
{
    const auto ms = ParseInt(text, 0, kMaxDelayMs);
    if (!ms) throw UsageError{"delay must be a number of milliseconds from 0 to 600000, not '" + text + "'"};
    return static_cast<int>(*ms);
}

Protocol CheckedProtocol(const std::string& text)
{
    if (text == "old") return Protocol::Old;
    if (text == "new") return Protocol::New;
    throw UsageError{"protocol must be 'old' or 'new', not '" + text + "'"};
}

void ExpectCount(const Args& args, std::size_t min, std::size_t max, const char* form)
{
    if (args.size() < min || args.size() > max) throw UsageError{std::string("usage: devsim ") + form};
}

Device& Existing(StoreData& data, const std::string& address)
{
    Device* device = data.Find(address);
    if (!device) throw UsageError{"no device at " + address + " (add it first)"};
    return *device;
}

void CheckCall(const Device& device, const std::string& call)
{
    if (!IsKnownCall(device.protocol, call))
        throw UsageError{"unknown call '" + call + "' for a device of the " + std::string(ProtocolName(device.protocol)) +
                         " protocol; known: " + KnownCalls(device.protocol)};
}

std::string Masked(const std::string& password)
{
    return password.empty() ? "(none)" : "***";
}

void ShowDevice(const Device& d, std::ostream& out)
{
    out << d.address << "  " << (d.protocol == Protocol::Old ? "older" : "newer") << " protocol, port " << d.port
        << ", login: " << (d.user.empty() ? "(none)" : d.user) << " / " << Masked(d.password) << "\n";
    for (const auto& field : Fields(d.protocol)) {
        std::string label(field.label);
        label.resize(std::max<std::size_t>(label.size(), 30), ' ');
        out << "  " << label << d.Field(field.key) << "\n";
    }
    if (d.protocol == Protocol::Old) out << "  capability 74                 " << d.cap74 << "\n";
    out << "  restarts " << d.restarts << ", logins " << d.logins << " (" << d.failed_logins << " refused), saves "
        << d.saves << ", connected: " << (d.sessions > 0 ? "yes (" + std::to_string(d.sessions) + ")" : std::string("no"))
        << "\n";
    for (const auto& [name, bytes] : d.pending)
        for (const auto& field : Fields(d.protocol))
            if (field.block == name && d.Field(field.key, true) != d.Field(field.key))
                out << "  unsaved: " << field.label << " = " << d.Field(field.key, true) << "\n";
    for (const auto& [call, code] : d.faults) out << "  fault: " << call << " answers " << code << "\n";
    for (const auto& [call, code] : d.faults_once) out << "  fault: " << call << " answers " << code << " once\n";
    for (const auto& [call, ms] : d.delays) out << "  delay: " << call << " takes " << ms << " ms\n";
}

// Commands that change the store: each edits StoreData and returns a line to print.
using EditCommand = std::function<std::string(const Args&, StoreData&)>;

std::string AddCommand(const Args& args, StoreData& data)
{
    if (args.empty()) throw UsageError{"usage: devsim add IP --protocol old|new [--port N] [--user U] [--password P]"};
    const std::string address = CheckedAddress(args[0]);
    std::optional<Protocol> protocol;
    int port = 0;
    std::string user, password, name;
    bool replace = false, has_name = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& opt = args[i];
        if (opt == "--replace") {
            replace = true;
            continue;
        }
        if (i + 1 >= args.size()) throw UsageError{"option " + opt + " needs a value"};
        const std::string& value = args[++i];
        if (opt == "--protocol") protocol = CheckedProtocol(value);
        else if (opt == "--port") port = CheckedPort(value);
        else if (opt == "--user") user = value;
        else if (opt == "--password") password = value;
        else if (opt == "--name") name = value, has_name = true;
        else throw UsageError{"unknown option " + opt};
    }
    if (!protocol) throw UsageError{"add needs --protocol old or --protocol new"};
    if (data.Find(address) && !replace) throw UsageError{"a device at " + address + " exists (use --replace)"};
    Device device = MakeDevice(address, *protocol, port, user, password);
    std::string error;
    if (has_name && !device.SetField("device_name", name, error)) throw UsageError{error};
    data.devices[address] = std::move(device);
    return "added " + address + " (" + std::string(ProtocolName(*protocol)) + " protocol, port " +
           std::to_string(data.devices[address].port) + ")";
}

std::string RemoveCommand(const Args& args, StoreData& data)
{
    ExpectCount(args, 1, 1, "remove IP");
    const std::string address = CheckedAddress(args[0]);
    Existing(data, address);
    data.devices.erase(address);
    return "removed " + address;
}

std::string SetCommand(const Args& args, StoreData& data)
{
    ExpectCount(args, 3, 3, "set IP FIELD VALUE");
    Device& d = Existing(data, CheckedAddress(args[0]));
    const std::string& key = args[1];
    const std::string& value = args[2];
    if (key == "port") d.port = CheckedPort(value);
    else if (key == "user") d.user = value;
    else if (key == "password") d.password = value;
    else if (key == "cap74" && d.protocol == Protocol::Old) {
        const auto cap = ParseInt(value, INT_MIN, INT_MAX);
        if (!cap) throw UsageError{"cap74 must be a number"};
        d.cap74 = static_cast<int>(*cap);
    } else {
        std::string error;
        if (!d.SetField(key, value, error)) throw UsageError{error};
    }
    return d.address + ": " + key + " set";
}

enum class CallTable { Fault, FaultOnce, Delay };

std::string CallSetting(const Args& args, StoreData& data, CallTable which)
{
    const bool is_fault = which != CallTable::Delay;
    ExpectCount(args, 3, 3, is_fault ? "fault IP CALL CODE|clear" : "delay IP CALL MS|clear");
    Device& d = Existing(data, CheckedAddress(args[0]));
    const std::string& call = args[1];
    CheckCall(d, call);
    auto& table = which == CallTable::Fault ? d.faults : which == CallTable::FaultOnce ? d.faults_once : d.delays;
    if (args[2] == "clear") {
        table.erase(call);
        return d.address + ": " + call + (is_fault ? " fault cleared" : " delay cleared");
    }
    if (is_fault) {
        const int success = d.protocol == Protocol::Old ? 0 : 1;
        const auto code = ParseInt(args[2], INT_MIN, INT_MAX);
        if (!code || *code == success)
            throw UsageError{"fault code must be a number other than " + std::to_string(success) +
                             " (the library's success value), not '" + args[2] + "'"};
        table[call] = static_cast<int>(*code);
    } else {
        table[call] = CheckedDelay(args[2]);
    }
    return d.address + ": " + call + (is_fault ? " answers " : " takes ") + args[2] + (is_fault ? "" : " ms");
}

std::string DropCommand(const Args& args, StoreData& data)
{
    ExpectCount(args, 1, 1, "drop IP");
    Device& d = Existing(data, CheckedAddress(args[0]));
    ++d.epoch;
    d.sessions = 0;
    return d.address + ": connections dropped";
}

std::string UnreachableCommand(const Args& args, StoreData& data)
{
    ExpectCount(args, 1, 1, "unreachable-delay MS");
    data.unreachable_delay_ms = CheckedDelay(args[0]);
    return "unreachable addresses answer after " + args[0] + " ms";
}

std::string FleetCommand(const Args& args, StoreData& data)
{
    const bool replace = args.size() == 1 && args[0] == "--replace";
    if (!args.empty() && !replace) throw UsageError{"usage: devsim fleet [--replace]"};
    const auto fleet = DemoFleet();
    if (!replace)
        for (const auto& device : fleet)
            if (data.Find(device.address)) throw UsageError{"a device at " + device.address + " exists (use --replace)"};
    std::string added;
    for (const auto& device : fleet) {
        data.devices[device.address] = device;
        added += (added.empty() ? "" : ", ") + device.address;
    }
    return "demo fleet: " + added;
}

const std::map<std::string, EditCommand>& EditCommands()
{
    static const std::map<std::string, EditCommand> commands = {
        {"add", AddCommand},
        {"remove", RemoveCommand},
        {"set", SetCommand},
        {"fault", [](const Args& a, StoreData& d) { return CallSetting(a, d, CallTable::Fault); }},
        {"fault-once", [](const Args& a, StoreData& d) { return CallSetting(a, d, CallTable::FaultOnce); }},
        {"delay", [](const Args& a, StoreData& d) { return CallSetting(a, d, CallTable::Delay); }},
        {"drop", DropCommand},
        {"unreachable-delay", UnreachableCommand},
        {"fleet", FleetCommand},
    };
    return commands;
}

int ReadCommand(const std::string& command, const Args& args, Store& store, std::ostream& out, std::ostream& err)
{
    StoreData data;
    std::string error;
    if (!store.Read(data, error)) {
        err << "devsim: " << error << "\n";
        return kToolFailed;
    }
    if (command == "list") {
        ExpectCount(args, 0, 0, "list");
        for (const auto& [address, d] : data.devices)
            out << address << "  " << ProtocolName(d.protocol) << "  port " << d.port << "  " << d.Field("device_name")
                << "\n";
        return kToolOk;
    }
    ExpectCount(args, 0, 1, "show [IP]");
    if (args.size() == 1) {
        ShowDevice(Existing(data, CheckedAddress(args[0])), out);
        return kToolOk;
    }
    if (data.devices.empty()) out << "no devices in " << store.path() << "\n";
    for (const auto& [address, d] : data.devices) ShowDevice(d, out);
    return kToolOk;
}

}  // namespace

int RunDevsimTool(const std::vector<std::string>& all_args, Store& store, std::ostream& out, std::ostream& err)
{
    Args args = all_args;
    if (args.size() >= 2 && args[0] == "--store") {
        store = Store(args[1]);
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty() || args[0] == "help" || args[0] == "--help") {
        (args.empty() ? err : out) << kUsage;
        return args.empty() ? kToolUsage : kToolOk;
    }
    const std::string command = args[0];
    const Args rest(args.begin() + 1, args.end());
    try {
        if (command == "path") {
            out << store.path() << "\n";
            return kToolOk;
        }
        if (command == "show" || command == "list") return ReadCommand(command, rest, store, out, err);
        const auto found = EditCommands().find(command);
        if (found == EditCommands().end()) throw UsageError{"unknown command '" + command + "'\n" + kUsage};
        std::string message;
        std::string error;
        std::optional<UsageError> usage;
        const bool ok = store.Update(
            [&](StoreData& data) {
                try {
                    message = found->second(rest, data);
                    return true;
                } catch (const UsageError& e) {
                    usage = e;
                    return false;
                }
            },
            error);
        if (usage) throw *usage;
        if (!ok) {
            err << "devsim: " << error << "\n";
            return kToolFailed;
        }
        out << message << "\n";
        return kToolOk;
    } catch (const UsageError& e) {
        err << "devsim: " << e.message << "\n";
        return kToolUsage;
    }
}

}  // namespace devsim
