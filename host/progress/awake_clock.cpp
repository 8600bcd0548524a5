#include "awake_clock.h"

#include <windows.h>

namespace trevanil_host {

std::int64_t AwakeMs()
{
    ULONGLONG units = 0;  // 100 ns
    if (QueryUnbiasedInterruptTime(&units)) return static_cast<std::int64_t>(units / 10000);
    return static_cast<std::int64_t>(GetTickCount64());
}

} // namespace trevanil_host
