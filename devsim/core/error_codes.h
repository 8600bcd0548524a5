// Error values the simulated devices answer with. They are the vendor libraries' own
// values, chosen from the ranges the device adapters translate.
#pragma once

namespace devsim {

// Older-protocol library (halcyra): 0 success, negative errors.
namespace v5err {
constexpr int kOk = 0;
constexpr int kInternal = -1;         // store unreadable, null argument
constexpr int kBadSize = -2;          // buffer size does not match the group
constexpr int kBadRange = -4;         // a value the device refuses (e.g. an invalid address)
constexpr int kInvalidHandle = -5;    // handle never made by ZRM_InitPu
constexpr int kUnsupported = -6;      // no such configuration group
constexpr int kTimeout = -7;          // nobody answers at the address
constexpr int kConnectionExists = -27;
constexpr int kConnectFailed = -28;   // device there, but not on that port
constexpr int kNotConnected = -83;    // handle not (or no longer) connected
constexpr int kBadCredentials = -87;
constexpr int kLoginOther = -89;      // the device does not speak this protocol
}  // namespace v5err

// Newer-protocol library (ravicore): status 1 success, error value in an out-parameter.
namespace v7err {
constexpr int kOk = 1;
constexpr int kBadParameter = 2;      // null pointer, wrong size, unknown handle
constexpr int kNoAnswer = 9;          // HTTP request got no answer (no device, wrong port)
constexpr int kUserNotVerified = 203; // wrong user name or password
constexpr int kAuthIdInvalid = 205;   // not logged in, or the session ended (restart)
constexpr int kIpAddressFormat = 220; // an address the device refuses
}  // namespace v7err

}  // namespace devsim
