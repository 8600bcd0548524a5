// The command line of the check before writing:
//   trevanil_host --check FILE [--ip TEXT --port TEXT] [--lang 1|2]
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "list_check.h"

namespace trevanil_host {

struct CheckOptions {
    std::string file;                       // UTF-8
    int language = 1;                       // 1 Chinese, 2 English
    std::optional<DialogPlatform> platform;  // --ip and --port, checked as the dialog checks them
};

// True when the arguments ask for the check (they hold --check).
bool IsCheckCommand(const std::vector<std::string>& args);

// Parses the check's arguments (without the program name). On error returns nothing and
// sets `error` to a message in the language that --lang asks for (Chinese when it cannot
// be read): a missing value, another option, --ip without --port or the other way
// round, or an address or port that the dialog would refuse.
std::optional<CheckOptions> ParseCheckOptions(const std::vector<std::string>& args, std::string& error);

const char* CheckUsage();

} // namespace trevanil_host
