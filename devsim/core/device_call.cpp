#include "device_call.h"

#include <chrono>
#include <thread>

namespace devsim {

void SleepMs(int ms)
{
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int CallOutcome::Result(int done, int no_device, int store_error) const
{
    switch (kind) {
    case Kind::Done: return done;
    case Kind::Faulted: return fault;
    case Kind::NoDevice: return no_device;
    default: return store_error;
    }
}

CallOutcome RunDeviceCall(std::string_view address, std::string_view call, const std::function<bool(Device&)>& op)
{
    CallOutcome outcome;
    Store store = Store::FromEnvironment();
    // What the call does to the store: the device's faults first, then the operation.
    const auto act = [&](StoreData& data) {
        Device* device = data.Find(address);
        if (!device) {
            outcome.kind = CallOutcome::Kind::NoDevice;
            outcome.unreachable_delay_ms = data.unreachable_delay_ms;
            return false;
        }
        if (const auto f = device->faults.find(call); f != device->faults.end()) {
            outcome.kind = CallOutcome::Kind::Faulted;
            outcome.fault = f->second;
            return false;
        }
        if (const auto f = device->faults_once.find(call); f != device->faults_once.end()) {
            outcome.kind = CallOutcome::Kind::Faulted;
            outcome.fault = f->second;
            device->faults_once.erase(f);
            return true;
        }
        return op(*device);
    };
    // A slow device answers late, and what it does happens when it answers: a slow
    // restart leaves the connection alive until then. A call without a delay acts in the
    // same pass over the store that finds it has none.
    int delay_ms = 0;
    bool acted = false;
    bool ok = store.Update(
        [&](StoreData& data) {
            if (const Device* device = data.Find(address)) {
                if (const auto d = device->delays.find(call); d != device->delays.end()) delay_ms = d->second;
            }
            if (delay_ms > 0) return false;
            acted = true;
            return act(data);
        },
        outcome.error);
    if (!acted && ok) {
        SleepMs(delay_ms);
        ok = store.Update(act, outcome.error);
    }
    if (!ok) outcome.kind = CallOutcome::Kind::StoreError;
    return outcome;
}

}  // namespace devsim
