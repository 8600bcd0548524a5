// Which written devices have not been restarted yet, read from the device-access
// module's daily log: each successful write logs "WritePu success. szPuIP-<ip>," and each
// restart that begins logs "TakePuOnline success. lPuID:<n>,szPuIP-<ip>". Portable.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// The addresses written more often than restarted in `logText` (the lines of one run),
// each once, in the order first written.
std::vector<std::string> DevicesNotRestarted(std::string_view logText);
