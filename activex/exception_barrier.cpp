#include "exception_barrier.h"

#include <atomic>
#include <cstdio>
#include <exception>
#include <new>

namespace activex {
namespace {

std::atomic<BarrierLog> g_log{nullptr};

void Log(const char* where, const char* what, const char* outcome, const char* result) noexcept
{
    BarrierLog log = g_log.load();
    if (!log) return;
    char line[256];
    if (outcome) std::snprintf(line, sizeof(line), "exception caught (%s), %s.", what ? what : "", outcome);
    else std::snprintf(line, sizeof(line), "exception caught (%s), returning %s.", what ? what : "", result);
    log(where ? where : "", line);
}

} // namespace

void SetBarrierLog(BarrierLog log) noexcept { g_log = log; }

HRESULT CaughtToHResult(const char* where, const char* outcome) noexcept
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        Log(where, "std::bad_alloc", outcome, "E_OUTOFMEMORY");
        return E_OUTOFMEMORY;
    } catch (const std::exception& e) {
        Log(where, e.what(), outcome, "E_UNEXPECTED");
    } catch (...) {
        Log(where, "not a std::exception", outcome, "E_UNEXPECTED");
    }
    return E_UNEXPECTED;
}

} // namespace activex
