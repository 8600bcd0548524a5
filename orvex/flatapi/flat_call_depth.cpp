#include "flat_call_depth.h"

namespace {

// Without a slot of its own (all taken) the module counts in a thread_local instead.
thread_local long t_depth = 0;

class DepthSlot {
public:
    DWORD index = TlsAlloc();
    ~DepthSlot()
    {
        if (index != TLS_OUT_OF_INDEXES) TlsFree(index);
    }
};

const DepthSlot g_slot;

}  // namespace

const DWORD g_flatDepthSlot = g_slot.index;

long FlatCallDepthSlow() noexcept { return t_depth; }

void SetFlatCallDepthSlow(long depth) noexcept { t_depth = depth; }
