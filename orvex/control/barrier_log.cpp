// Where the ActiveX layer's exception barriers write their one line: the module's log.
#include "activex/exception_barrier.h"
#include "diag/write_log.h"

namespace {

void LogCaughtException(const char* where, const char* message) noexcept { ORVEX_LOG(where, message); }

// Set while the module loads, before any entry point can run.
const bool g_barrierLogSet = (activex::SetBarrierLog(&LogCaughtException), true);

} // namespace
