#include "host_options.h"

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

} // namespace

std::string HostUsage()
{
    std::string usage = "usage: trevanil_host [--lang 1|2] [--clsid] [--ip TEXT] [--port TEXT] [--file PATH]\n"
           "                     [--write [--cancel-after N] [--try-close] [--save] [--screenshot PNG]\n"
           "                      [--timeout SECONDS]] [--resume] [--restart-limit SECONDS]\n"
           "  --lang 1|2      Chinese (1) or English (2) texts (SetLangue)\n"
           "  --clsid         create the control by its CLSID instead of its ProgID\n"
           "  --ip/--port/--file  type these into the dialog's fields\n"
           "  --write         press Write, wait for the run to end, print the result list, exit\n"
           "  --cancel-after N  press Cancel once N rows have their result\n"
           "  --try-close     ask the window to close while the run is active (it refuses)\n"
           "  --save          accepted for older scripts: the results and the retry list are always kept\n"
           "  --screenshot P  save a PNG picture of the window after the run\n"
           "  --timeout S     end the run after S seconds (default: no limit)\n"
           "  --restart-limit S  wait at most S seconds (default 20) for the devices' restarts at exit;\n"
           "                  the devices not restarted by then are named\n"
           "  --resume        carry on the last run that did not end (of --file's list when given): its\n"
           "                  rows not done are loaded into the dialog\n"
           "exit codes (the first that applies, in this order):\n";
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
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string text;
        if (arg == "--lang") {
            if (!value(text)) return std::nullopt;
            if (!ParseInt(text, 1, 2, options.language)) {
                error = "--lang takes 1 (Chinese) or 2 (English)";
                return std::nullopt;
            }
        } else if (arg == "--clsid") {
            options.byClsid = true;
        } else if (arg == "--ip") {
            if (!value(text)) return std::nullopt;
            options.platformIp = text;
        } else if (arg == "--port") {
            if (!value(text)) return std::nullopt;
            options.platformPort = text;
        } else if (arg == "--file") {
            if (!value(text)) return std::nullopt;
            options.deviceList = text;
        } else if (arg == "--write") {
            options.write = true;
        } else if (arg == "--cancel-after") {
            if (!value(text)) return std::nullopt;
            if (!ParseInt(text, 0, 1000000, options.cancelAfter)) {
                error = "--cancel-after takes a row count";
                return std::nullopt;
            }
            options.cancelAfterRows = true;
        } else if (arg == "--save") {
            options.save = true;
        } else if (arg == "--resume") {
            options.resume = true;
        } else if (arg == "--try-close") {
            options.tryClose = true;
        } else if (arg == "--screenshot") {
            if (!value(options.screenshot)) return std::nullopt;
        } else if (arg == "--timeout") {
            if (!value(text)) return std::nullopt;
            if (!ParseInt(text, 1, 99999999, options.timeoutSeconds)) {
                error = "--timeout takes seconds (1-99999999)";
                return std::nullopt;
            }
        } else if (arg == "--restart-limit") {
            if (!value(text)) return std::nullopt;
            if (!ParseInt(text, 0, 3600, options.restartLimitSeconds)) {
                error = "--restart-limit takes seconds (0-3600)";
                return std::nullopt;
            }
        } else {
            error = "unknown option " + arg;
            return std::nullopt;
        }
    }
    if ((options.cancelAfterRows || options.tryClose || options.save) && !options.write) {
        error = "--cancel-after, --try-close and --save go with --write";
        return std::nullopt;
    }
    return options;
}

} // namespace trevanil_host
