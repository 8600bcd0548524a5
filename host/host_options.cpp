#include "host_options.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include "exit_codes.h"

namespace trevanil_host {
namespace {

bool ParseInt(const std::string& text, int low, int high, int& out)
{
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    const int value = std::atoi(text.c_str());
    if (value < low || value > high) return false;
    out = value;
    return true;
}

// Takes an option's value into the options; false when the value is refused.
using TakeValue = bool (*)(HostOptions& options, const std::string& value);

// One option of the command line: the parser and --help both read this table.
struct OptionSpec {
    const char* name;
    const char* value;  // its value's name in --help; null for an option without a value
    const char* help;   // lines after the first are indented under it
    TakeValue take;
    const char* refused;  // said when `take` refuses the value
    bool withWrite;       // only with --write
};

constexpr std::array<OptionSpec, 14> kOptions{{
    {"--lang", "1|2", "Chinese (1) or English (2) texts (SetLangue)",
     [](HostOptions& o, const std::string& v) { return ParseInt(v, 1, 2, o.language); },
     "--lang takes 1 (Chinese) or 2 (English)", false},
    {"--clsid", nullptr, "create the control by its CLSID instead of its ProgID",
     [](HostOptions& o, const std::string&) { return o.byClsid = true; }, nullptr, false},
    {"--ip", "TEXT", "type TEXT into the dialog's platform address",
     [](HostOptions& o, const std::string& v) { return static_cast<bool>(o.platformIp = v); }, nullptr, false},
    {"--port", "TEXT", "type TEXT into the dialog's platform port",
     [](HostOptions& o, const std::string& v) { return static_cast<bool>(o.platformPort = v); }, nullptr, false},
    {"--file", "PATH", "type PATH into the dialog's device list",
     [](HostOptions& o, const std::string& v) { return static_cast<bool>(o.deviceList = v); }, nullptr, false},
    {"--write", nullptr, "press Write, wait for the run and the restarts, print the result list, exit",
     [](HostOptions& o, const std::string&) { return o.write = true; }, nullptr, false},
    {"--cancel-after", "N", "press Cancel once N rows have their result",
     [](HostOptions& o, const std::string& v) { return o.cancelAfterRows = ParseInt(v, 0, 1000000, o.cancelAfter); },
     "--cancel-after takes a row count", true},
    {"--try-close", nullptr, "ask the window to close while the run is active (it refuses)",
     [](HostOptions& o, const std::string&) { return o.tryClose = true; }, nullptr, true},
    {"--save", nullptr, "accepted for older scripts: the results and the retry list are always kept",
     [](HostOptions& o, const std::string&) { return o.save = true; }, nullptr, true},
    {"--screenshot", "PNG", "save a PNG picture of the window after the run",
     [](HostOptions& o, const std::string& v) { return !(o.screenshot = v).empty(); }, "--screenshot needs a path",
     false},
    {"--timeout", "S", "end the run after S seconds (default: no limit)",
     [](HostOptions& o, const std::string& v) { return ParseInt(v, 1, 99999999, o.timeoutSeconds); },
     "--timeout takes seconds (1-99999999)", false},
    {"--restart-limit", "S",
     "wait at most S seconds (default 20) for the devices' restarts at exit;\n"
     "the devices not restarted by then are named",
     [](HostOptions& o, const std::string& v) { return ParseInt(v, 0, 3600, o.restartLimitSeconds); },
     "--restart-limit takes seconds (0-3600)", false},
    {"--resume", nullptr,
     "carry on the last run that did not end (of --file's list when given):\n"
     "its rows not done are loaded into the dialog",
     [](HostOptions& o, const std::string&) { return o.resume = true; }, nullptr, false},
    {"--help", nullptr, "this text (alone; /? too)", [](HostOptions&, const std::string&) { return false; },
     "--help goes alone", false},
}};

constexpr std::size_t kHelpColumn = 22;

const OptionSpec* FindOption(const std::string& name)
{
    for (const OptionSpec& option : kOptions)
        if (name == option.name) return &option;
    return nullptr;
}

} // namespace

std::string HostUsage()
{
    std::string usage = "usage: trevanil_host [options]\n";
    for (const OptionSpec& option : kOptions) {
        std::string line = std::string("  ") + option.name + (option.value ? std::string(" ") + option.value : "");
        line.resize(std::max(line.size() + 1, kHelpColumn), ' ');
        for (const char* c = option.help; *c; ++c) {
            line += *c;
            if (*c == '\n') line += std::string(kHelpColumn, ' ');
        }
        usage += line + "\n";
    }
    usage += "exit codes (the first that applies, in this order):\n";
    for (const HostExitMeaning& exit : kHostExits) {
        char line[160];
        std::snprintf(line, sizeof line, "  %2d  %s\n", static_cast<int>(exit.code), exit.meaning);
        usage += line;
    }
    return usage;
}

std::optional<HostOptions> ParseHostOptions(const std::vector<std::string>& args, std::string& error)
{
    HostOptions options;
    const OptionSpec* needsWrite = nullptr;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const OptionSpec* option = FindOption(args[i]);
        if (!option) {
            error = "unknown option " + args[i];
            return std::nullopt;
        }
        std::string value;
        if (option->value) {
            if (i + 1 >= args.size()) {
                error = args[i] + " needs a value";
                return std::nullopt;
            }
            value = args[++i];
        }
        if (!option->take(options, value)) {
            error = option->refused ? option->refused : args[i] + " is refused";
            return std::nullopt;
        }
        if (option->withWrite && !needsWrite) needsWrite = option;
    }
    if (needsWrite && !options.write) {
        error = std::string(needsWrite->name) + " goes with --write";
        return std::nullopt;
    }
    return options;
}

} // namespace trevanil_host
