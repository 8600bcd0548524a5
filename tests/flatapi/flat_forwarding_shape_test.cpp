// The forwarding template on its own, with a fake look-up: which library is called,
// how the arguments are reshaped and how the result is widened.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "flat_forward.h"

namespace {

void* g_camera = nullptr;
void* g_media = nullptr;
std::vector<std::string> g_lookups;
std::vector<FlatWord> g_received;
char g_calledLibrary = 0;
FlatWord g_pointee = 0;
bool g_releasing = false;  // the fake release gate
int g_inFlight = 0;
int g_inFlightSeenByLibrary = -1;

std::uint8_t CameraThree(FlatWord a, FlatWord b, FlatWord c)
{
    g_calledLibrary = 'C';
    g_received = {a, b, c};
    g_inFlightSeenByLibrary = g_inFlight;
    return 0xAB;  // above 127: must come back as 171, not sign-extended
}

std::uint8_t MediaThree(FlatWord a, FlatWord b, FlatWord c)
{
    g_calledLibrary = 'M';
    g_received = {a, b, c};
    return 1;
}

std::uint8_t FiveArgs(FlatWord a, FlatWord b, FlatWord c, FlatWord d, FlatWord e)
{
    g_received = {a, b, c, d, e};
    return 1;
}

std::uint8_t CopiedFirst(FlatWord pointer, FlatWord b, FlatWord c, FlatWord d)
{
    g_received = {pointer, b, c, d};
    g_pointee = *reinterpret_cast<FlatWord*>(pointer);
    *reinterpret_cast<FlatWord*>(pointer) = 0x5EED;  // a library writing through it
    return 1;
}

std::int32_t Full32(FlatWord, FlatWord) { return 0x12345678; }
std::int32_t Negative32(FlatWord, FlatWord) { return -7; }
std::uint8_t NoArgs() { return 9; }

template <typename Function>
void* Address(Function function)
{
    return reinterpret_cast<void*>(function);
}

class FlatForwardShape : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_camera = g_media = nullptr;
        g_lookups.clear();
        g_received.clear();
        g_calledLibrary = 0;
        g_releasing = false;
        g_inFlightSeenByLibrary = -1;
    }
};

}  // namespace

FlatTargets FlatLookupBoth(const char* name)
{
    g_lookups.emplace_back(name);
    return FlatTargets{g_camera, g_media};
}

bool FlatEnterCall() noexcept
{
    if (g_releasing) return false;
    ++g_inFlight;
    return true;
}
void FlatLeaveCall() noexcept { --g_inFlight; }

TEST_F(FlatForwardShape, ACallIsCountedWhileInsideTheLibraryAndRefusedDuringARelease)
{
    g_camera = Address(&CameraThree);
    EXPECT_EQ(171, (FlatForward<std::uint8_t, 0, 0>("IPC_Login", std::array<FlatWord, 3>{1, 2, 3})));
    EXPECT_EQ(1, g_inFlightSeenByLibrary);
    EXPECT_EQ(0, g_inFlight) << "counted down when the library returned";

    g_releasing = true;
    g_calledLibrary = 0;
    g_lookups.clear();
    EXPECT_EQ(3, (FlatForward<std::uint8_t, 0, 0>("IPC_Login", std::array<FlatWord, 3>{1, 2, 3})));
    EXPECT_EQ(0, g_calledLibrary);
    EXPECT_TRUE(g_lookups.empty()) << "not even looked up while the libraries are being released";
    EXPECT_EQ(0, g_inFlight);
}

TEST_F(FlatForwardShape, NoLibraryFunctionAnswersThreeWithoutCalling)
{
    EXPECT_EQ(3, (FlatForward<std::uint8_t, 0, 0>("IPC_Login", std::array<FlatWord, 3>{1, 2, 3})));
    EXPECT_EQ(0, g_calledLibrary);
    EXPECT_EQ(std::vector<std::string>{"IPC_Login"}, g_lookups);
}

TEST_F(FlatForwardShape, CameraServesFirstMediaOnlyWhenCameraLacksIt)
{
    g_camera = Address(&CameraThree);
    g_media = Address(&MediaThree);
    EXPECT_EQ(0xAB, (FlatForward<std::uint8_t, 0, 0>("X", std::array<FlatWord, 3>{1, 2, 3})));
    EXPECT_EQ('C', g_calledLibrary);

    g_camera = nullptr;
    EXPECT_EQ(1, (FlatForward<std::uint8_t, 0, 0>("X", std::array<FlatWord, 3>{4, 5, 6})));
    EXPECT_EQ('M', g_calledLibrary);
    EXPECT_EQ((std::vector<FlatWord>{4, 5, 6}), g_received);
}

TEST_F(FlatForwardShape, DroppedArgumentIsNotPassedOn)
{
    g_camera = Address(&CameraThree);
    FlatForward<std::uint8_t, 3, 0>("IPC_GetQuor", std::array<FlatWord, 4>{10, 20, 598, 40});
    EXPECT_EQ((std::vector<FlatWord>{10, 20, 40}), g_received);

    g_camera = Address(&FiveArgs);
    FlatForward<std::uint8_t, 5, 0>("IPC_GetDdns", std::array<FlatWord, 6>{1, 2, 3, 4, 5, 6});
    EXPECT_EQ((std::vector<FlatWord>{1, 2, 3, 4, 6}), g_received);
}

TEST_F(FlatForwardShape, CopiedArgumentArrivesAsAddressOfAPrivateCopy)
{
    g_camera = Address(&CopiedFirst);
    std::array<FlatWord, 4> callerArgs{0x1111, 2, 3, 4};
    FlatForward<std::uint8_t, 0, 1>("IPC_GetInfoFromHandle", callerArgs);
    ASSERT_EQ(4u, g_received.size());
    EXPECT_EQ(0x1111, g_pointee);
    EXPECT_NE(reinterpret_cast<FlatWord>(&callerArgs[0]), g_received[0]);
    EXPECT_EQ(0x1111, callerArgs[0]);
    EXPECT_EQ((std::vector<FlatWord>{2, 3, 4}), std::vector<FlatWord>(g_received.begin() + 1, g_received.end()));
}

TEST_F(FlatForwardShape, ThirtyTwoBitResultsComeBackUnchanged)
{
    g_media = Address(&Full32);
    EXPECT_EQ(0x12345678, (FlatForward<std::int32_t, 0, 0>("IPC_StartRealPlay", std::array<FlatWord, 2>{1, 2})));
    g_media = Address(&Negative32);
    EXPECT_EQ(-7, (FlatForward<std::int32_t, 0, 0>("MED_LocalPlay", std::array<FlatWord, 2>{1, 2})));
}

TEST_F(FlatForwardShape, FunctionWithoutArgumentsIsCalledWithNone)
{
    g_camera = Address(&NoArgs);
    EXPECT_EQ(9, (FlatForward<std::uint8_t, 0, 0>("IPC_DestroyHandle", std::array<FlatWord, 0>{})));
}
