// The lines the ActiveX layer's exception barriers write, kept by the test.
#pragma once
#include <string>
#include <vector>
#include "activex/exception_barrier.h"

namespace activex_test {

inline std::vector<std::string> g_barrierLines;

// Installs itself as the barrier log and forgets earlier lines.
struct BarrierLines {
    BarrierLines()
    {
        g_barrierLines.clear();
        activex::SetBarrierLog([](const char* where, const char* message) noexcept {
            try {
                g_barrierLines.push_back(std::string(where) + ": " + message);
            } catch (...) {
            }
        });
    }
    ~BarrierLines() { activex::SetBarrierLog(nullptr); }
    const std::vector<std::string>& Lines() const { return g_barrierLines; }
};

} // namespace activex_test
