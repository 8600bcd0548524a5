// Handles (1..255) live in this process; devices live in the store. A handle logged in
// to a device stays valid until logout or until the device's epoch moves on (restart,
// dropped link).
#include "ravicore_sim.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>

#include "device_call.h"
#include "error_codes.h"
#include "ipv4.h"

namespace devsim::ravicore {
namespace {

namespace err = v7err;
constexpr std::uint8_t kFail = 0;
constexpr std::uint8_t kSuccess = 1;

struct IpcSession {
    bool in_use = false;
    std::string address;
    int port = 0;
    bool logged_in = false;
    bool detecting = false;
    long epoch = 0;
};

std::mutex g_lock;
std::array<IpcSession, 256> g_sessions;  // index 0 unused: handles are 1..255
int g_last_handle = 0;

std::optional<IpcSession> FindSession(int handle)
{
    if (handle < 1 || handle > 255) return std::nullopt;
    std::lock_guard<std::mutex> hold(g_lock);
    if (!g_sessions[handle].in_use) return std::nullopt;
    return g_sessions[handle];
}

template <class Edit>
void EditSession(int handle, Edit edit)
{
    std::lock_guard<std::mutex> hold(g_lock);
    edit(g_sessions[handle]);
}

std::uint8_t Answer(int* err, int value)
{
    if (err) *err = value;
    return value == err::kOk ? kSuccess : kFail;
}

// A call on a logged-in handle; `op` returns the error value (kOk on success) and sets
// `changed` when it altered the device.
template <class Op>
std::uint8_t SessionCall(const int* handle, const char* call, int* err, Op op)
{
    if (!handle || !err) return Answer(err, err::kBadParameter);
    const auto session = FindSession(*handle);
    if (!session) return Answer(err, err::kBadParameter);
    if (!session->logged_in) return Answer(err, err::kAuthIdInvalid);
    int result = err::kOk;
    const auto outcome = RunDeviceCall(session->address, call, [&](Device& device) {
        if (device.epoch != session->epoch) {
            result = err::kAuthIdInvalid;
            return false;
        }
        bool changed = false;
        result = op(device, changed);
        return changed;
    });
    return Answer(err, outcome.Result(result, err::kNoAnswer, err::kBadParameter));
}

std::uint8_t ReadBlock(int* handle, const char* call, std::string_view name, void* buf, int* err)
{
    return SessionCall(handle, call, err, [&](Device& device, bool&) {
        if (!buf) return err::kBadParameter;
        Bytes view = device.Current(name);
        if (name == "ipinfo")  // handed out in network order, see layout.h
            for (auto offset : kIpInfoSwappedFields) {
                std::uint32_t host;
                std::memcpy(&host, &view[offset], 4);
                const std::uint32_t net = ToNetworkOrder(host);
                std::memcpy(&view[offset], &net, 4);
            }
        std::memcpy(buf, view.data(), view.size());
        return err::kOk;
    });
}

std::uint8_t WriteBlock(int* handle, const char* call, std::string_view name, std::size_t size, const void* buf,
                        int* err)
{
    return SessionCall(handle, call, err, [&](Device& device, bool& changed) {
        if (!buf) return err::kBadParameter;
        const auto* bytes = static_cast<const std::uint8_t*>(buf);
        Bytes incoming(bytes, bytes + size);
        if (!device.AcceptsWrite(name, incoming)) return err::kIpAddressFormat;
        device.blocks[std::string(name)] = std::move(incoming);  // takes effect at once
        changed = true;
        return err::kOk;
    });
}

bool SizeIs(int size, std::size_t expected, bool zero_means_default)
{
    return (zero_means_default && size == 0) || (size > 0 && static_cast<std::size_t>(size) == expected);
}

}  // namespace

void ResetHandles()
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_sessions.fill(IpcSession{});
    g_last_handle = 0;
}

std::uint8_t IPC_InitDll(int, int, int* err)
{
    return Answer(err, err::kOk);
}

std::uint8_t IPC_ReleaseDll(int* err)
{
    ResetHandles();
    return Answer(err, err::kOk);
}

std::uint8_t IPC_GetVersion(std::uint32_t* version, int* err)
{
    if (!version) return Answer(err, err::kBadParameter);
    *version = kVersion;
    return Answer(err, err::kOk);
}

std::uint8_t IPC_CreateHandle(std::uint32_t addr_host_order, int port, const char*, const char*)
{
    // Handles are never destroyed by their users, so a free slot is one never used or
    // no longer logged in; the search starts after the last handle given out.
    std::lock_guard<std::mutex> hold(g_lock);
    for (int step = 1; step <= 255; ++step) {
        const int candidate = (g_last_handle + step - 1) % 255 + 1;
        IpcSession& slot = g_sessions[candidate];
        if (slot.in_use && slot.logged_in) continue;
        slot = IpcSession{true, FormatIpv4(addr_host_order), port, false, false, 0};
        g_last_handle = candidate;
        return static_cast<std::uint8_t>(candidate);
    }
    return 0;
}

std::uint8_t IPC_Login(int* handle, const char* user, const char* pass, int* err)
{
    if (!handle || !err) return Answer(err, err::kBadParameter);
    const auto session = FindSession(*handle);
    if (!session) return Answer(err, err::kBadParameter);
    const std::string user_text = user ? user : "";
    const std::string pass_text = pass ? pass : "";
    int result = err::kOk;
    long epoch = 0;
    const auto outcome = RunDeviceCall(session->address, "IPC_Login", [&](Device& device) {
        if (device.protocol != Protocol::New || session->port != device.port) {
            result = err::kNoAnswer;  // nothing speaks this protocol there
            return false;
        }
        if (user_text != device.user || pass_text != device.password) {
            ++device.failed_logins;
            result = err::kUserNotVerified;
            return true;
        }
        ++device.logins;
        if (!session->logged_in || session->epoch != device.epoch) ++device.sessions;
        epoch = device.epoch;
        return true;
    });
    if (outcome.kind == CallOutcome::Kind::NoDevice) {
        SleepMs(outcome.unreachable_delay_ms);
        return Answer(err, err::kNoAnswer);
    }
    result = outcome.Result(result, err::kNoAnswer, err::kBadParameter);
    if (result == err::kOk)
        EditSession(*handle, [&](IpcSession& s) {
            s.logged_in = true;
            s.epoch = epoch;
        });
    return Answer(err, result);
}

std::uint8_t IPC_AddConnectDetect(int* handle, int interval_ms, int, DetectCallback, void*, int* err)
{
    const std::uint8_t status = SessionCall(handle, "IPC_AddConnectDetect", err, [&](Device&, bool&) {
        return interval_ms > 0 ? err::kOk : err::kBadParameter;
    });
    if (status == kSuccess) EditSession(*handle, [](IpcSession& s) { s.detecting = true; });
    return status;
}

std::uint8_t IPC_DelConnectDetect(int* handle, int* err)
{
    const std::uint8_t status = SessionCall(handle, "IPC_DelConnectDetect", err, [](Device&, bool&) { return err::kOk; });
    if (status == kSuccess) EditSession(*handle, [](IpcSession& s) { s.detecting = false; });
    return status;
}

std::uint8_t IPC_IsConnect(int handle, std::uint8_t* connected, int* err)
{
    if (!connected || !err) return Answer(err, err::kBadParameter);
    const auto session = FindSession(handle);
    if (!session) return Answer(err, err::kBadParameter);
    bool alive = false;
    int result = err::kOk;
    if (session->logged_in) {
        const auto outcome = RunDeviceCall(session->address, "IPC_IsConnect", [&](Device& device) {
            alive = device.epoch == session->epoch;
            return false;
        });
        if (outcome.kind == CallOutcome::Kind::NoDevice) alive = false;
        else result = outcome.Result(err::kOk, err::kNoAnswer, err::kBadParameter);
    }
    if (result == err::kOk) *connected = alive ? 1 : 0;
    return Answer(err, result);
}

std::uint8_t IPC_Logout(int* handle, int* err)
{
    const std::uint8_t status = SessionCall(handle, "IPC_Logout", err, [](Device& device, bool& changed) {
        device.sessions = std::max(0L, device.sessions - 1);
        changed = true;
        return err::kOk;
    });
    if (status == kSuccess) EditSession(*handle, [](IpcSession& s) { s.logged_in = s.detecting = false; });
    return status;
}

std::uint8_t IPC_SystemReboot(int* handle, int* err)
{
    const std::uint8_t status = SessionCall(handle, "IPC_SystemReboot", err, [](Device& device, bool& changed) {
        ++device.restarts;
        ++device.epoch;  // every session of the device ends
        device.sessions = 0;
        changed = true;
        return err::kOk;
    });
    if (status == kSuccess) EditSession(*handle, [](IpcSession& s) { s.logged_in = s.detecting = false; });
    return status;
}

std::uint8_t IPC_GetQuor(int* handle, void* buf, int* err)
{
    return ReadBlock(handle, "IPC_GetQuor", "quor", buf, err);
}

std::uint8_t IPC_SetQuor(int* handle, void* buf, int* err)
{
    return WriteBlock(handle, "IPC_SetQuor", "quor", kQuorSize, buf, err);
}

std::uint8_t IPC_GetDeviceInfo(int* handle, void* buf, int size, int* err)
{
    if (!SizeIs(size, kDeviceInfoSize, true)) return Answer(err, err::kBadParameter);
    return ReadBlock(handle, "IPC_GetDeviceInfo", "devinfo", buf, err);
}

std::uint8_t IPC_SetDeviceInfo(int* handle, void* buf, int size, int* err)
{
    if (!SizeIs(size, kDeviceInfoSize, true)) return Answer(err, err::kBadParameter);
    return WriteBlock(handle, "IPC_SetDeviceInfo", "devinfo", kDeviceInfoSize, buf, err);
}

std::uint8_t IPC_GetIpInfo(int* handle, void* buf, int size, int* err)
{
    if (!SizeIs(size, kIpInfoSize, false)) return Answer(err, err::kBadParameter);
    return ReadBlock(handle, "IPC_GetIpInfo", "ipinfo", buf, err);
}

std::uint8_t IPC_SetIpInfo(int* handle, void* buf, int size, int* err)
{
    if (!SizeIs(size, kIpInfoSize, false)) return Answer(err, err::kBadParameter);
    return WriteBlock(handle, "IPC_SetIpInfo", "ipinfo", kIpInfoSize, buf, err);
}

}  // namespace devsim::ravicore
