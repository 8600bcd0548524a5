// Every flat export against the recording stand-ins, driven by the same export list
// that generates the forwarders: what the library receives, what the export answers
// and which library serves it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "flat_recording_sink.h"
#include "flat_test_module.h"

namespace {

enum class Kind { Ordinary, Renamed, ArgCopy, ArgDrop, Result32, Result8, Own, TailCall };

struct Row {
    const char* name;
    int argc;
    const char* lookup;
    Kind kind;
    int position;  // 1-based argument copied or dropped
};

const Row kRows[] = {
#define FLAT_ORDINARY(name, argc) {#name, argc, #name, Kind::Ordinary, 0},
#define FLAT_RENAMED(name, argc, lookup) {#name, argc, lookup, Kind::Renamed, 0},
#define FLAT_ARGCOPY(name, argc, k) {#name, argc, #name, Kind::ArgCopy, k},
#define FLAT_ARGDROP(name, argc, k) {#name, argc, #name, Kind::ArgDrop, k},
#define FLAT_RESULT32(name, argc) {#name, argc, #name, Kind::Result32, 0},
#define FLAT_RESULT8(name, argc) {#name, argc, #name, Kind::Result8, 0},
#define FLAT_OWN(name, argc) {#name, argc, #name, Kind::Own, 0},
#define FLAT_TAILCALL(name) {#name, 0, #name, Kind::TailCall, 0},
#include "flat_exports.inc"
};

bool IsForwarder(const Row& row) { return row.kind != Kind::Own && row.kind != Kind::TailCall; }

// The camera stand-in offers the IPC_ names and MED_InitMedia/FreeMedia/SetYuvCallBack.
bool CameraOffers(const Row& row)
{
    const std::string name = row.name;
    return name.rfind("IPC_", 0) == 0 || name == "MED_InitMedia" || name == "MED_FreeMedia" ||
           name == "MED_SetYuvCallBack";
}

// Distinct argument words per row, so a word in the wrong place shows.
FlatArg ArgumentValue(std::size_t rowIndex, int position) { return 0x10000 * (rowIndex + 1) + position; }

// A library answer whose low byte differs from the whole, and which is never 3.
std::int32_t LibraryAnswer(std::size_t rowIndex) { return 0x7A5C3100 + 0x40 + static_cast<std::int32_t>(rowIndex % 150); }

std::int32_t ExpectedResult(const Row& row, std::int32_t answer)
{
    return row.kind == Kind::Result32 ? answer : (answer & 0xFF);
}

// What the library should receive: the export's arguments, one dropped or one
// replaced by a pointer (checked separately through its pointee).
std::vector<FlatArg> ExpectedLibraryArgs(std::size_t rowIndex, const Row& row)
{
    std::vector<FlatArg> expected;
    for (int position = 1; position <= row.argc; ++position) {
        if (row.kind == Kind::ArgDrop && position == row.position) continue;
        expected.push_back(ArgumentValue(rowIndex, position));
    }
    return expected;
}

std::int32_t CallExport(std::size_t rowIndex, const Row& row)
{
    FlatArg a[12] = {};
    for (int position = 1; position <= row.argc; ++position) a[position - 1] = ArgumentValue(rowIndex, position);
    void* address = OrvexExport(row.name);
    if (!address) return -1;
    if (row.kind == Kind::Result8)
        return reinterpret_cast<FlatCall8>(address)(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9],
                                                    a[10], a[11]);
    return reinterpret_cast<FlatCall>(address)(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10],
                                               a[11]);
}

class FlatExports : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, OrvexModule());
        ReleaseAllLibraries();
        recording::Reset();
    }
    void TearDown() override
    {
        ReleaseAllLibraries();
        recording::Reset();
    }

    static void Load(const char* name)
    {
        std::int32_t error = 0;
        ASSERT_EQ(1, InitDll(name, 3300, 0, &error)) << name;
        recording::Reset();
    }

    // Calls every forwarding export once and checks what reached which library.
    static void ExpectEveryForwarderServedBy(bool cameraLoaded, bool mediaLoaded)
    {
        for (std::size_t i = 0; i < std::size(kRows); ++i) {
            const Row& row = kRows[i];
            if (!IsForwarder(row)) continue;
            SCOPED_TRACE(row.name);
            recording::Reset();
            recording::SetAnswer(LibraryAnswer(i));
            if (row.kind == Kind::ArgCopy) recording::SetDerefPosition(row.position - 1);

            const std::int32_t result = CallExport(i, row);

            const bool byCamera = cameraLoaded && CameraOffers(row);
            if (!byCamera && !mediaLoaded) {
                EXPECT_EQ(3, result);
                EXPECT_TRUE(recording::Calls().empty());
                continue;
            }
            EXPECT_EQ(ExpectedResult(row, LibraryAnswer(i)), result);
            ASSERT_EQ(1u, recording::Calls().size());
            const LibraryCall& call = recording::Calls().front();
            EXPECT_EQ(byCamera ? 'C' : 'M', call.library);
            EXPECT_EQ(row.lookup, call.name);

            std::vector<FlatArg> received(call.args, call.args + ExpectedLibraryArgs(i, row).size());
            std::vector<FlatArg> expected = ExpectedLibraryArgs(i, row);
            if (row.kind == Kind::ArgCopy) {
                const int at = row.position - 1;
                EXPECT_EQ(ArgumentValue(i, row.position), call.pointee) << "pointer must address a copy of the argument";
                EXPECT_NE(expected[at], received[at]) << "library must get an address, not the value";
                received[at] = expected[at];
            }
            EXPECT_EQ(expected, received);
        }
    }
};

}  // namespace

TEST(FlatExportList, HoldsThe308ExportsInTheirFamilies)
{
    int ipc = 0, med = 0, own = 0;
    for (const Row& row : kRows) {
        (std::strncmp(row.name, "IPC_", 4) == 0 ? ipc : med)++;
        own += row.kind == Kind::Own;
    }
    EXPECT_EQ(308u, std::size(kRows));
    EXPECT_EQ(263, ipc);
    EXPECT_EQ(45, med);
    EXPECT_EQ(3, own);  // IPC_InitDll, IPC_ReleaseDll, MED_FreeMedia
}

TEST_F(FlatExports, WithNothingLoadedEveryForwarderAnswers3AndCallsNothing)
{
    ExpectEveryForwarderServedBy(false, false);
}

TEST_F(FlatExports, WithBothLoadedTheCameraServesWhatItOffersAndTheMediaTheRest)
{
    Load("ravicore.dll");
    Load("ravimedia.dll");
    ExpectEveryForwarderServedBy(true, true);
}

TEST_F(FlatExports, WithOnlyTheMediaLibraryLoadedItServesEveryName)
{
    Load("ravimedia.dll");
    ExpectEveryForwarderServedBy(false, true);
}

TEST_F(FlatExports, WithOnlyTheCameraLibraryLoadedMediaOnlyNamesAnswer3)
{
    Load("ravicore.dll");
    ExpectEveryForwarderServedBy(true, false);
}

TEST_F(FlatExports, QuorDropsTheBufferSizeOnTheV7AdaptersRoad)
{
    Load("ravicore.dll");
    char buffer[598];
    std::int32_t error = 0;
    auto getQuor = reinterpret_cast<FlatCall>(OrvexExport("IPC_GetQuor"));
    EXPECT_EQ(1, getQuor(42, reinterpret_cast<FlatArg>(buffer), 598, reinterpret_cast<FlatArg>(&error), 0, 0, 0, 0,
                         0, 0, 0, 0));
    ASSERT_EQ(1u, recording::Calls().size());
    const LibraryCall& call = recording::Calls().front();
    EXPECT_EQ(42, call.args[0]);
    EXPECT_EQ(reinterpret_cast<FlatArg>(buffer), call.args[1]);
    EXPECT_EQ(reinterpret_cast<FlatArg>(&error), call.args[2]);
}

TEST_F(FlatExports, YuvCallBackIsATailCallIntoTheMediaLibraryOnly)
{
    auto yuv = reinterpret_cast<FlatCall>(OrvexExport("MED_SetYuvCallBack"));
    EXPECT_EQ(3, yuv(11, 22, 33, 0, 0, 0, 0, 0, 0, 0, 0, 0)) << "nothing loaded";

    Load("ravicore.dll");  // offers the name too, but is never asked
    EXPECT_EQ(3, yuv(11, 22, 33, 0, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_TRUE(recording::Calls().empty());

    Load("ravimedia.dll");
    recording::SetAnswer(0x12345678);
    EXPECT_EQ(0x12345678, yuv(11, 22, 33, 44, 0, 0, 0, 0, 0, 0, 0, 0));
    ASSERT_EQ(1u, recording::Calls().size());
    const LibraryCall& call = recording::Calls().front();
    EXPECT_EQ('M', call.library);
    EXPECT_EQ("MED_SetYuvCallBack", call.name);
    EXPECT_EQ(11, call.args[0]);
    EXPECT_EQ(22, call.args[1]);
    EXPECT_EQ(33, call.args[2]);
    EXPECT_EQ(44, call.args[3]);
    // The library returns straight to this program, not into orvex.
    EXPECT_EQ(GetModuleHandleW(nullptr), ModuleOfAddress(call.returnAddress));
}

TEST_F(FlatExports, ForwardersSeeALibraryReleasedInBetween)
{
    Load("ravicore.dll");
    auto login = reinterpret_cast<FlatCall>(OrvexExport("IPC_Login"));
    EXPECT_EQ(1, login(1, 2, 3, 4, 0, 0, 0, 0, 0, 0, 0, 0));
    std::int32_t error = 0;
    EXPECT_EQ(1, ReleaseDll(&error));
    EXPECT_EQ(3, login(1, 2, 3, 4, 0, 0, 0, 0, 0, 0, 0, 0));
}
