// The smallest camera library: one cheap function to forward to, so the benchmark
// measures the forwarding and not the work behind it.
#include <cstdint>

extern "C" __declspec(dllexport) std::uint8_t IPC_GetVersion(std::intptr_t, std::intptr_t) { return 1; }
