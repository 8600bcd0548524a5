// Holding the machine awake and the session open while a run lasts, and letting go after;
// the clock of the time left.
#include <gtest/gtest.h>
#include <windows.h>

#include "progress/awake_clock.h"
#include "run_keep_awake.h"

namespace trevanil_host {
namespace {

// The thread's continuous request, read without changing it: a call without ES_CONTINUOUS
// leaves the continuous request as it is and returns it.
EXECUTION_STATE ThreadRequest() { return SetThreadExecutionState(ES_SYSTEM_REQUIRED); }

TEST(RunKeepAwake, HoldsWhileARunLastsNestedToo)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(TRUE, CRunKeepAwake::QueryEndSessionAnswer());
    {
        CRunKeepAwake run(window, u8"设备列表 devices.csv");
        EXPECT_EQ(FALSE, CRunKeepAwake::QueryEndSessionAnswer());
        EXPECT_EQ(static_cast<EXECUTION_STATE>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED),
                  ThreadRequest() & (ES_CONTINUOUS | ES_SYSTEM_REQUIRED));
        {
            // A reason longer than Windows shows is cut, not refused.
            CRunKeepAwake inner(nullptr, std::string(1000, 'x'));
        }
        EXPECT_EQ(FALSE, CRunKeepAwake::QueryEndSessionAnswer());
        EXPECT_NE(0u, ThreadRequest() & ES_SYSTEM_REQUIRED);
    }
    EXPECT_EQ(TRUE, CRunKeepAwake::QueryEndSessionAnswer());
    EXPECT_EQ(0u, ThreadRequest() & ES_SYSTEM_REQUIRED);
    DestroyWindow(window);
}

// Milliseconds, not the clock's 100 ns units: never ahead of the time since the start,
// which includes sleep.
TEST(AwakeClock, CountsMillisecondsSinceTheStart)
{
    const std::int64_t awake = AwakeMs();
    const std::int64_t sinceStart = static_cast<std::int64_t>(GetTickCount64());
    EXPECT_GT(awake, 0);
    EXPECT_LE(awake, sinceStart + 1000) << sinceStart;
    EXPECT_GE(AwakeMs(), awake);
}

} // namespace
} // namespace trevanil_host
