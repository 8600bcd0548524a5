// The real adapters, and the release of what the newer one loaded.
#include "pu_protocols.h"

#include "flatapi/flat_api.h"
#include "velaipc.h"

PuProtocols DefaultPuProtocols()
{
    const auto releaseV7Libraries = [] {
        int err = 0;  // a failure to release is of no consequence here
        IPC_ReleaseDll(reinterpret_cast<FlatArg>(&err));
    };
    return {{emPutype_V5, "v5", PuLogin::Anonymous, [] { return std::make_unique<CVelaIPCV5>(); }, nullptr},
            {emPutype_V7, "v7", PuLogin::Asked, [] { return std::make_unique<CVelaIPCV7>(); }, releaseV7Libraries}};
}
