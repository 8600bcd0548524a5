#include "check_options.h"

#include <algorithm>
#include <memory>

#include "host_texts.h"
#include "input_checks.h"
#include "pattern_matcher.h"
#include "ui_texts.h"

namespace trevanil_host {
namespace {

// The language the arguments ask for, read before anything else so that every message
// is in it; Chinese when --lang is missing or unreadable.
int RequestedLanguage(const std::vector<std::string>& args)
{
    for (std::size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == "--lang" && args[i + 1] == "2") return kLanguageEnglish;
    return kLanguageChinese;
}

} // namespace

bool IsCheckCommand(const std::vector<std::string>& args)
{
    return std::find(args.begin(), args.end(), "--check") != args.end();
}

const char* CheckUsage()
{
    return "usage: trevanil_host --check FILE [--ip TEXT --port TEXT] [--lang 1|2]\n"
           "  --check FILE    read the device list as a run would and print, row by row, what Write\n"
           "                  would do, then the device IDs and device IPs found on several rows\n"
           "                  and a summary; writes nothing. Exit 0: every row would be written and\n"
           "                  none clash; 1: some would not, or some clash; 2: bad input or the file\n"
           "                  cannot be read. --ip/--port: the platform address typed into the dialog\n";
}

std::optional<CheckOptions> ParseCheckOptions(const std::vector<std::string>& args, std::string& error)
{
    CheckOptions options;
    options.language = RequestedLanguage(args);
    const HostTexts::Options& texts = HostTextsFor(options.language).options;
    std::optional<std::string> file, ip, port;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::optional<std::string>* target = arg == "--check" ? &file : arg == "--ip" ? &ip : arg == "--port" ? &port
                                                                                                                : nullptr;
        if (arg != "--lang" && (!target || *target)) {
            // Anything else, or an option given twice.
            error = texts.notWithCheck + arg;
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = texts.needsValue + arg;
            return std::nullopt;
        }
        const std::string& value = args[++i];
        if (target) {
            *target = value;
        } else if (value != "1" && value != "2") {
            error = texts.badLanguage;
            return std::nullopt;
        }
    }
    if (!file) {
        error = std::string(texts.needsValue) + "--check";
        return std::nullopt;
    }
    if (ip.has_value() != port.has_value()) {
        error = texts.ipWithPort;
        return std::nullopt;
    }
    options.file = *file;
    if (ip) {
        // The dialog's own checks and messages: Write refuses such an address.
        const std::unique_ptr<IPatternMatcher> pattern = CompilePattern(kPlatformIpPattern);
        const UiTexts& ui = LanguageTextsFor(options.language).ui;
        const UiTextSlot failed =
            pattern ? CheckStartInputs({*ip, *port, options.file}, *pattern) : &UiTexts::textIpInvalid;
        if (failed) {
            error = texts.inputPrefix + std::string(ui.*failed);
            return std::nullopt;
        }
        options.platform = DialogPlatform{*ip, *port};
    }
    return options;
}

} // namespace trevanil_host
