// Command ids of the host window's menu, shared with the tests that send them.
#pragma once

namespace trevanil_host {

// "Check device list..." (WM_COMMAND, menu).
constexpr unsigned kCheckCommandId = 0x4C01;

} // namespace trevanil_host
