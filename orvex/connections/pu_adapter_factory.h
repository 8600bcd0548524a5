// How a registry gets its two adapters and releases what the newer one loaded.
// The module uses the real adapters; tests hand in adapters of their own.
#pragma once
#include <functional>
#include <memory>

#include "pu_base.h"

struct PuAdapterFactory {
    std::function<std::unique_ptr<CPuBase>()> makeV5;
    std::function<std::unique_ptr<CPuBase>()> makeV7;
    // Runs at destruction when a V7 adapter exists, before it is deleted.
    std::function<void()> releaseV7Libraries;
};

// CVelaIPCV5, CVelaIPCV7 and the module's IPC_ReleaseDll.
PuAdapterFactory DefaultPuAdapterFactory();
