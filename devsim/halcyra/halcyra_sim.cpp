// Handles live in this process; devices live in the store. A handle is bound to a device
// by ZRM_ConnectPU and stays bound to that device's life: a restart (or a dropped link)
// bumps the device's epoch and ends every connection made before it.
#include "halcyra_sim.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "device_call.h"
#include "error_codes.h"
#include "ipv4.h"

namespace {

using devsim::Bytes;
using devsim::CallOutcome;
using devsim::Device;
namespace err = devsim::v5err;

struct PuSession {
    std::string address;
    bool connected = false;
    long epoch = 0;
};

std::mutex g_lock;
std::map<int, PuSession> g_sessions;
int g_next_handle = 1;

std::optional<PuSession> FindSession(int handle)
{
    std::lock_guard<std::mutex> hold(g_lock);
    const auto it = g_sessions.find(handle);
    if (it == g_sessions.end()) return std::nullopt;
    return it->second;
}

void SetConnected(int handle, bool connected, const std::string& address = {}, long epoch = 0)
{
    std::lock_guard<std::mutex> hold(g_lock);
    auto& session = g_sessions[handle];
    session.connected = connected;
    if (connected) {
        session.address = address;
        session.epoch = epoch;
    }
}

// A call on a connected handle. `op` returns the library result and sets `changed`
// when it altered the device.
template <class Op>
int ConnectedCall(int handle, const char* call, Op op)
{
    const auto session = FindSession(handle);
    if (!session) return err::kInvalidHandle;
    if (!session->connected) return err::kNotConnected;
    int result = err::kOk;
    const auto outcome = devsim::RunDeviceCall(session->address, call, [&](Device& device) {
        if (device.epoch != session->epoch) {
            result = err::kNotConnected;
            return false;
        }
        bool changed = false;
        result = op(device, changed);
        return changed;
    });
    return outcome.Result(result, err::kNotConnected, err::kInternal);
}

// Checks the arguments of ZRM_Get/SetPuParam; null when they are fine.
const devsim::BlockDef* GroupFor(int group, int zero, const void* buf, int size, int& error)
{
    const auto* block = devsim::FindGroup(group);
    if (!block) error = err::kUnsupported;
    else if (!buf) error = err::kInternal;
    else if (zero != 0) error = err::kBadRange;
    else if (size < 0 || static_cast<std::size_t>(size) != block->size) error = err::kBadSize;
    else return block;
    return nullptr;
}

}  // namespace

namespace devsim::halcyra {
void ResetHandles()
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_sessions.clear();
}
}  // namespace devsim::halcyra

extern "C" {

int DEVSIM_CDECL ZRM_InitPu(int* handle)
{
    if (!handle) return err::kInternal;
    std::lock_guard<std::mutex> hold(g_lock);
    const int made = g_next_handle++;
    g_sessions[made] = PuSession{};
    *handle = made;
    return err::kOk;
}

int DEVSIM_CDECL ZRM_ConnectPU(int handle, const char* user, const char* pass, std::uint32_t addr_network_order, int port)
{
    const auto session = FindSession(handle);
    if (!session) return err::kInvalidHandle;
    if (session->connected) return err::kConnectionExists;
    const std::string address = devsim::FormatIpv4(devsim::FromNetworkOrder(addr_network_order));
    const std::string user_text = user ? user : "";
    const std::string pass_text = pass ? pass : "";
    int result = err::kOk;
    long epoch = 0;
    const auto outcome = devsim::RunDeviceCall(address, "ZRM_ConnectPU", [&](Device& device) {
        if (device.protocol != devsim::Protocol::Old) {
            result = err::kLoginOther;
            return false;
        }
        if (port != device.port) {
            result = err::kConnectFailed;
            return false;
        }
        // The older protocol logs in without credentials; given ones must be right.
        const bool anonymous = user_text.empty() && pass_text.empty();
        if (!anonymous && (user_text != device.user || pass_text != device.password)) {
            ++device.failed_logins;
            result = err::kBadCredentials;
            return true;
        }
        ++device.logins;
        ++device.sessions;
        epoch = device.epoch;
        return true;
    });
    if (outcome.kind == CallOutcome::Kind::NoDevice) {
        devsim::SleepMs(outcome.unreachable_delay_ms);
        return err::kTimeout;
    }
    result = outcome.Result(result, err::kNotConnected, err::kInternal);
    if (result == err::kOk) SetConnected(handle, true, address, epoch);
    return result;
}

int DEVSIM_CDECL ZRM_GetPuParam(int handle, int group, int zero, void* buf, int size)
{
    return ConnectedCall(handle, "ZRM_GetPuParam", [&](Device& device, bool&) {
        int error = err::kOk;
        const auto* block = GroupFor(group, zero, buf, size, error);
        if (!block) return error;
        const Bytes& content = device.Current(block->name);
        std::memcpy(buf, content.data(), content.size());
        return err::kOk;
    });
}

int DEVSIM_CDECL ZRM_SetPuParam(int handle, int group, int zero, void* buf, int size)
{
    return ConnectedCall(handle, "ZRM_SetPuParam", [&](Device& device, bool& changed) {
        int error = err::kOk;
        const auto* block = GroupFor(group, zero, buf, size, error);
        if (!block) return error;
        const auto* bytes = static_cast<const std::uint8_t*>(buf);
        Bytes incoming(bytes, bytes + block->size);
        if (!device.AcceptsWrite(block->name, incoming)) return err::kBadRange;
        device.pending[std::string(block->name)] = std::move(incoming);
        changed = true;
        return err::kOk;
    });
}

int DEVSIM_CDECL ZRM_GetPuCapVal(int handle, int cap)
{
    return ConnectedCall(handle, "ZRM_GetPuCapVal", [&](Device& device, bool&) {
        return cap == 74 ? device.cap74 : 0;
    });
}

int DEVSIM_CDECL ZRM_SaveSettings(int handle)
{
    return ConnectedCall(handle, "ZRM_SaveSettings", [&](Device& device, bool& changed) {
        for (auto& [name, bytes] : device.pending) device.blocks[name] = std::move(bytes);
        device.pending.clear();
        ++device.saves;
        changed = true;
        return err::kOk;
    });
}

int DEVSIM_CDECL ZRM_IsConnected(int handle)
{
    const int alive = ConnectedCall(handle, "ZRM_IsConnected", [](Device&, bool&) { return 1; });
    return alive == 1 ? 1 : 0;
}

int DEVSIM_CDECL ZRM_DisConnectPU(int handle)
{
    const int result = ConnectedCall(handle, "ZRM_DisConnectPU", [](Device& device, bool& changed) {
        device.sessions = std::max(0L, device.sessions - 1);
        changed = true;
        return err::kOk;
    });
    if (result == err::kOk || result == err::kNotConnected) SetConnected(handle, false);
    return result;
}

int DEVSIM_CDECL ZRM_RebootPu(int handle)
{
    const int result = ConnectedCall(handle, "ZRM_RebootPu", [](Device& device, bool& changed) {
        // Restarting ends every connection and throws away what was not saved.
        ++device.restarts;
        ++device.epoch;
        device.sessions = 0;
        device.pending.clear();
        changed = true;
        return err::kOk;
    });
    if (result == err::kOk) SetConnected(handle, false);
    return result;
}

}  // extern "C"
