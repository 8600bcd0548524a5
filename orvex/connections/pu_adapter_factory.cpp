// The real adapters, and the release of what the newer one loaded.
#include "flatapi/flat_api.h"
#include "pu_adapter_factory.h"
#include "velaipc_v5.h"
#include "velaipc_v7.h"

PuAdapterFactory DefaultPuAdapterFactory()
{
    PuAdapterFactory factory;
    factory.makeV5 = [] { return std::make_unique<CVelaIPCV5>(); };
    factory.makeV7 = [] { return std::make_unique<CVelaIPCV7>(); };
    factory.releaseV7Libraries = [] {
        int err = 0;  // a failure to release is of no consequence here
        IPC_ReleaseDll(reinterpret_cast<FlatArg>(&err));
    };
    return factory;
}
