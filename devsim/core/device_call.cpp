#include "device_call.h"

#include <chrono>
#include <thread>

namespace devsim {

void SleepMs(int ms)
{
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

CallOutcome RunDeviceCall(std::string_view address, std::string_view call, const std::function<bool(Device&)>& op)
{
    CallOutcome outcome;
    Store store = Store::FromEnvironment();
    // A slow device answers late, and what it does happens when it answers: a slow
    // restart leaves the connection alive until then.
    int delay_ms = 0;
    store.Update(
        [&](StoreData& data) {
            const Device* device = data.Find(address);
            if (!device) return false;
            if (const auto d = device->delays.find(call); d != device->delays.end()) delay_ms = d->second;
            return false;
        },
        outcome.error);
    SleepMs(delay_ms);
    const bool ok = store.Update(
        [&](StoreData& data) {
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
        },
        outcome.error);
    if (!ok) outcome.kind = CallOutcome::Kind::StoreError;
    return outcome;
}

}  // namespace devsim
