// The device protocols a registry logs in with, in the order it tries them. The module
// lists the real adapters; tests hand in adapters of their own.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "pu_base.h"
#include "pu_types.h"

// The credentials a protocol's login takes.
enum class PuLogin : std::uint8_t {
    Anonymous,  // empty user name and password, on the caller's port
    Asked,      // the stored login once after SetLoginInfo (on port 80), else the login prompt's
};

struct PuProtocol {
    std::int32_t emPutype;  // recorded in the connection's PuRecord; one protocol per value
    const char* logName;    // names the protocol in the log lines of an asked login
    PuLogin login;
    std::function<std::unique_ptr<CPuBase>()> make;  // by the registry's Init; null: no adapter
    std::function<void()> release;                   // at destruction when its adapter exists, before it goes
};

// A login that fails goes on to the next protocol, and so does one that leaves a code
// while there is a next one; the last protocol's connection is kept even with a code.
using PuProtocols = std::vector<PuProtocol>;

PuProtocols DefaultPuProtocols();  // CVelaIPCV5, then CVelaIPCV7 (its libraries released by IPC_ReleaseDll)
