// Installs the crash filter, sets the clock to the moment given on the command line
// (year month day hour minute second) and faults. Used by the crash dump test.
#include <cstdlib>

#include "crash_dump.h"
#include "log_clock.h"

namespace {
LogTime g_moment{};
LogTime MomentClock() { return g_moment; }
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 7) return 2;
    int* fields[] = {&g_moment.year, &g_moment.month, &g_moment.day, &g_moment.hour, &g_moment.minute, &g_moment.second};
    for (int i = 0; i < 6; ++i) *fields[i] = std::atoi(argv[i + 1]);
    SetLogClock(&MomentClock);
    InstallCrashFilter();
    volatile int* nowhere = nullptr;
    *nowhere = 1;  // an exception no handler takes
    return 0;
}
