// The common frame of every simulated library call: find the device in the store, answer
// with the call's configured fault or run the call, keep what changed, then take the
// call's configured time.
#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "store.h"

namespace devsim {

struct CallOutcome {
    enum class Kind { Done, NoDevice, Faulted, StoreError };
    Kind kind = Kind::Done;
    int fault = 0;                 // Faulted: the library error value to answer with
    int unreachable_delay_ms = 0;  // NoDevice: how long a login there should wait
    std::string error;             // StoreError: why

    // The library's answer: `done` when the call ran, else the fault, `no_device` for a
    // device removed from the store meanwhile, `store_error` for a store that failed.
    int Result(int done, int no_device, int store_error) const;
};

// `op` runs under the store lock and returns whether it changed the device. The
// call's delay is slept after the lock is released.
CallOutcome RunDeviceCall(std::string_view address, std::string_view call, const std::function<bool(Device&)>& op);

void SleepMs(int ms);

}  // namespace devsim
