#include "barrier_log.h"

#include "activex/exception_barrier.h"

namespace activex_test {
namespace {

std::vector<std::string> g_lines;

void Record(const char* where, const char* message) noexcept
{
    try {
        g_lines.push_back(std::string(where) + ": " + message);
    } catch (...) {
    }
}

} // namespace

BarrierLines::BarrierLines()
{
    g_lines.clear();
    activex::SetBarrierLog(&Record);
}

BarrierLines::~BarrierLines() { activex::SetBarrierLog(nullptr); }

const std::vector<std::string>& BarrierLines::Lines() const { return g_lines; }

} // namespace activex_test
