// The store's text form: one [section] per device address, "key = value" lines.
//
//   [devsim]                       settings of the simulation itself
//   unreachable_delay_ms = 200     how long a login to an address without a device waits
//
//   [192.168.1.10]
//   protocol = old                 old | new
//   port = 5510
//   user =  / password =           credentials the device accepts
//   restarts = 2 ...               counters (restarts, logins, failed_logins, saves, sessions, epoch)
//   platform_ip = 10.0.0.5 ...     named fields of the saved content (see layout.cpp)
//   raw.syspub = 0a00...           the saved bytes of a group/block (hex, trailing zeros left out)
//   pending.syspub = ...           older protocol: written, not yet saved
//   fault.ZRM_SaveSettings = -7    the library error value this call answers with
//   delay.IPC_Login = 1500         milliseconds the call takes
//
// When a named field and the raw bytes disagree, the named field wins, so a field can
// be edited by hand; raw bytes keep everything the named fields do not cover.
#pragma once
#include <map>
#include <string>
#include <string_view>

#include "device.h"

namespace devsim {

constexpr int kDefaultUnreachableDelayMs = 200;

struct StoreData {
    int unreachable_delay_ms = kDefaultUnreachableDelayMs;
    std::map<std::string, Device, std::less<>> devices;  // by address text

    Device* Find(std::string_view address);
};

std::string SerializeStore(const StoreData& data);
// False with "line N: reason" in `error` on text that is not a valid store.
bool ParseStore(std::string_view text, StoreData& out, std::string& error);

}  // namespace devsim
