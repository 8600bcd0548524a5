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
    int delay_ms = 0;
    Store store = Store::FromEnvironment();
    const bool ok = store.Update(
        [&](StoreData& data) {
            Device* device = data.Find(address);
            if (!device) {
                outcome.kind = CallOutcome::Kind::NoDevice;
                outcome.unreachable_delay_ms = data.unreachable_delay_ms;
                return false;
            }
            if (const auto d = device->delays.find(call); d != device->delays.end()) delay_ms = d->second;
            if (const auto f = device->faults.find(call); f != device->faults.end()) {
                outcome.kind = CallOutcome::Kind::Faulted;
                outcome.fault = f->second;
                return false;
            }
            return op(*device);
        },
        outcome.error);
    if (!ok) outcome.kind = CallOutcome::Kind::StoreError;
    SleepMs(delay_ms);
    return outcome;
}

}  // namespace devsim
