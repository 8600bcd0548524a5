// Command line of the host program.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace trevanil_host {

struct HostOptions {
    int language = 0;             // 0: leave the control's default; 1 Chinese, 2 English
    bool byClsid = false;         // create the control by CLSID instead of ProgID
    // Operator's entries typed into the dialog (empty: leave the field as it is).
    std::optional<std::string> platformIp;
    std::optional<std::string> platformPort;
    std::optional<std::string> deviceList;
    bool write = false;           // press Write, wait for the run to end, print the list, exit
    bool cancelAfterRows = false; // press Cancel once `cancelAfter` rows have their result
    int cancelAfter = 0;
    bool save = false;            // kept for scripts: the record's files are always kept
    bool tryClose = false;        // after pressing Write, ask the window to close (it must refuse)
    std::string screenshot;       // PNG of the window after the run
    int timeoutSeconds = 0;       // 0: no limit
    int restartLimitSeconds = 20; // how long to wait for the written devices' restarts at exit
    bool resume = false;          // load the retry list of the last run that did not end
};

// Parses UTF-8 arguments (without the program name). On error returns nothing and sets `error`.
std::optional<HostOptions> ParseHostOptions(const std::vector<std::string>& args, std::string& error);

// The options and the exit codes.
std::string HostUsage();

} // namespace trevanil_host
