// The lines the ActiveX layer's exception barriers write, kept by the test.
#pragma once
#include <string>
#include <vector>

namespace activex_test {

// Installs itself as the barrier log and forgets earlier lines.
struct BarrierLines {
    BarrierLines();
    ~BarrierLines();
    const std::vector<std::string>& Lines() const;
};

} // namespace activex_test
