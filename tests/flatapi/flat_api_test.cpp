// Every flat export against the recording stand-ins, driven by the same export list
// that generates the forwarders: what the library receives, what the export answers
// and which library serves it. That list cannot check itself, so rows chosen by hand
// from the documented export list (kDocumentedRows) check its counts and shapes, and
// what their exports hand to a library.
#include <gtest/gtest.h>

#include <algorithm>
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

// Rows of the documented export list, written out by hand: the first and last of the
// list and of each library, every reshaping kind (renamed look-ups, copied and dropped
// arguments, 32-bit and 8-bit results, no arguments, written by hand, tail call) and the
// longest argument lists. `passed` names the export's arguments (1-based) in the order
// the library receives them, 0 standing for the address of the export's copy of `copied`.
enum class Shape { Forward, Own, TailCall };

struct DocumentedRow {
    const char* name;
    int argc;
    const char* lookup;
    std::vector<int> passed;
    int copied;      // 0: none
    int resultBits;  // 8: the library's 8-bit status, widened; 32: its whole result
    Shape shape;
};

const DocumentedRow kDocumentedRows[] = {
    {"IPC_InitDll", 4, "IPC_InitDll", {}, 0, 32, Shape::Own},
    {"IPC_ReleaseDll", 1, "IPC_ReleaseDll", {}, 0, 32, Shape::Own},
    {"IPC_Logout", 2, "IPC_Logout", {1, 2}, 0, 8, Shape::Forward},
    {"IPC_Login", 4, "IPC_Login", {1, 2, 3, 4}, 0, 8, Shape::Forward},
    {"IPC_CreateHandle", 4, "IPC_CreateHandle", {1, 2, 3, 4}, 0, 8, Shape::Forward},
    {"IPC_GetInfoFromHandle", 4, "IPC_GetInfoFromHandle", {0, 2, 3, 4}, 1, 8, Shape::Forward},
    {"IPC_DestroyHandle", 0, "IPC_DestroyHandle", {}, 0, 8, Shape::Forward},
    {"IPC_GetEventTime", 9, "IPC_GetEventTime", {1, 2, 3, 4, 5, 6, 7, 8, 9}, 0, 8, Shape::Forward},
    {"IPC_VoiceCallState", 4, "IPC_CallState_RTCP", {1, 2, 3, 4}, 0, 8, Shape::Forward},
    {"IPC_Setrecdownloadspeed", 2, "IPC_Setrecdownloadspeed", {1, 2}, 0, 8, Shape::Forward},
    {"IPC_GetIrcutfilter", 7, "IPC_GetIrcutFilter", {1, 2, 3, 4, 5, 6, 7}, 0, 8, Shape::Forward},
    {"IPC_SetIrcutfilter", 4, "IPC_SetIrcutFilter", {1, 2, 3, 4}, 0, 8, Shape::Forward},
    {"IPC_GetBLC", 7, "IPC_GetBlc", {1, 2, 3, 4, 5, 6, 7}, 0, 8, Shape::Forward},
    {"IPC_SetPowerInfo", 5, "IPC_SetPowerInfo", {1, 2, 3, 4, 5}, 0, 8, Shape::Forward},
    {"IPC_GetDdns", 6, "IPC_GetDdns", {1, 2, 3, 4, 6}, 0, 8, Shape::Forward},
    {"IPC_Get8021x", 6, "IPC_Get8021x", {1, 2, 3, 4, 6}, 0, 8, Shape::Forward},
    {"IPC_Set8021x", 4, "IPC_Set8021x", {1, 2, 4}, 0, 8, Shape::Forward},
    {"IPC_GetUPnP", 7, "IPC_GetUPnP", {1, 2, 3, 4, 5, 6, 7}, 0, 8, Shape::Forward},
    {"IPC_GetQuor", 4, "IPC_GetQuor", {1, 2, 4}, 0, 8, Shape::Forward},
    {"IPC_SetQuor", 4, "IPC_SetQuor", {1, 2, 4}, 0, 8, Shape::Forward},
    {"IPC_SetAuthMode", 4, "IPC_SetAuthMode", {1, 2, 4}, 0, 8, Shape::Forward},
    {"IPC_GetGB28181", 11, "IPC_GetGB28181", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 0, 8, Shape::Forward},
    {"IPC_SetGB28181", 9, "IPC_SetGB28181", {1, 2, 3, 4, 5, 6, 7, 8, 9}, 0, 8, Shape::Forward},
    {"IPC_GetSnapTime", 4, "IPC_GetSnapTime", {1, 2, 0, 4}, 3, 8, Shape::Forward},
    {"IPC_SetSnapEvent", 4, "IPC_SetSnapEvent", {1, 2, 0, 4}, 3, 8, Shape::Forward},
    {"IPC_GetTimeTask", 9, "IPC_GetTimeTask", {1, 2, 3, 4, 5, 6, 7, 8, 9}, 0, 8, Shape::Forward},
    {"IPC_IsConnect", 3, "IPC_IsConnect", {1, 2, 3}, 0, 8, Shape::Forward},
    {"IPC_AddConnectDetect", 6, "IPC_AddConnectDetect", {1, 2, 3, 4, 5, 6}, 0, 8, Shape::Forward},
    {"IPC_StartRealPlay", 7, "IPC_StartRealPlay", {1, 2, 3, 4, 5, 6, 7}, 0, 32, Shape::Forward},
    {"IPC_SetRtspMetaPort", 8, "IPC_SetRtspMetaPort", {1, 2, 3, 4, 5, 6, 7, 8}, 0, 32, Shape::Forward},
    {"IPC_RemoveRtspMetaPort", 3, "IPC_RemoveRtspMetaPort", {1, 2, 3}, 0, 32, Shape::Forward},
    {"IPC_StopRealPlay", 4, "IPC_StopRealPlay", {1, 2, 3, 4}, 0, 8, Shape::Forward},
    {"IPC_SetSSH", 3, "IPC_SetSSH", {1, 2, 3}, 0, 8, Shape::Forward},
    {"IPC_SetPubsec", 4, "IPC_SetPubsec", {1, 2, 3, 4}, 0, 8, Shape::Forward},
    {"MED_InitMedia", 0, "MED_InitMedia", {}, 0, 8, Shape::Forward},
    {"MED_FreeMedia", 0, "MED_FreeMedia", {}, 0, 32, Shape::Own},
    {"MED_LocalPlay", 12, "MED_LocalPlay", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 0, 32, Shape::Forward},
    {"MED_PauseLocalPlay", 1, "MED_PauseLocalPlay", {1}, 0, 8, Shape::Forward},
    {"MED_SetYuvCallBack", 0, "MED_SetYuvCallBack", {}, 0, 32, Shape::TailCall},
    {"MED_SetShowMarginsEx", 6, "MED_SetShowMarginsEx", {1, 2, 3, 4, 5, 6}, 0, 8, Shape::Forward},
    {"MED_GetCallVolume", 1, "MED_GetCallVolume", {1}, 0, 8, Shape::Forward},
    {"MED_SetConnectLostCallBack", 4, "MED_SetConnectLostCallBack", {1, 2, 3, 4}, 0, 8, Shape::Forward},
    {"MED_DownloadPuRec", 8, "MED_DownloadPuRec", {1, 2, 3, 4, 5, 6, 7, 8}, 0, 8, Shape::Forward},
    {"MED_MetaPlay", 3, "MED_MetaPlay", {1, 2, 3}, 0, 32, Shape::Forward},
    {"MED_StopMetaPlay", 2, "MED_StopMetaPlay", {1, 2}, 0, 8, Shape::Forward},
};

const Row* FindRow(const char* name)
{
    for (const Row& row : kRows)
        if (std::strcmp(row.name, name) == 0) return &row;
    return nullptr;
}

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

TEST(FlatExportList, ChosenRowsHaveTheirDocumentedPlaceCountAndShape)
{
    EXPECT_STREQ("IPC_InitDll", kRows[0].name);
    EXPECT_STREQ("IPC_ReleaseDll", kRows[1].name);
    EXPECT_STREQ("IPC_Logout", kRows[2].name);
    EXPECT_STREQ("IPC_SetPubsec", kRows[262].name) << "the last IPC_ export";
    EXPECT_STREQ("MED_InitMedia", kRows[263].name) << "the first MED_ export";
    EXPECT_STREQ("MED_StopMetaPlay", kRows[307].name);
    for (const DocumentedRow& expected : kDocumentedRows) {
        SCOPED_TRACE(expected.name);
        const Row* row = FindRow(expected.name);
        ASSERT_NE(nullptr, row) << "missing from the export list";
        if (expected.shape == Shape::TailCall) {
            EXPECT_EQ(Kind::TailCall, row->kind);
            continue;
        }
        EXPECT_EQ(expected.argc, row->argc);
        if (expected.shape == Shape::Own) {
            EXPECT_EQ(Kind::Own, row->kind);
            continue;
        }
        EXPECT_STREQ(expected.lookup, row->lookup);
        const bool renamed = std::strcmp(expected.name, expected.lookup) != 0;
        const bool dropped = static_cast<int>(expected.passed.size()) < expected.argc;
        Kind kind = Kind::Ordinary;
        if (renamed) kind = Kind::Renamed;
        else if (expected.copied) kind = Kind::ArgCopy;
        else if (dropped) kind = Kind::ArgDrop;
        else if (expected.resultBits == 32) kind = Kind::Result32;
        else if (std::strcmp(expected.name, "MED_GetCallVolume") == 0) kind = Kind::Result8;
        EXPECT_EQ(kind, row->kind);
        if (expected.copied) EXPECT_EQ(expected.copied, row->position);
        if (dropped) {
            int missing = 0;
            for (int k = 1; k <= expected.argc && !missing; ++k)
                if (std::find(expected.passed.begin(), expected.passed.end(), k) == expected.passed.end()) missing = k;
            EXPECT_EQ(missing, row->position) << "the argument not passed on";
        }
    }
}

TEST_F(FlatExports, ChosenRowsHandTheLibraryTheDocumentedArguments)
{
    Load("ravimedia.dll");  // the media stand-in offers every name
    const std::int32_t answer = 0x6D4C21A7;  // low byte 0xA7, above 127 and never 3
    for (const DocumentedRow& expected : kDocumentedRows) {
        if (expected.shape != Shape::Forward) continue;
        SCOPED_TRACE(expected.name);
        recording::Reset();
        recording::SetAnswer(answer);
        if (expected.copied) recording::SetDerefPosition(expected.copied - 1);
        FlatArg a[12];
        for (int i = 0; i < 12; ++i) a[i] = 0x5100 + 0x11 * (i + 1);  // argument k is 0x5100 + 0x11 * k
        void* address = OrvexExport(expected.name);
        ASSERT_NE(nullptr, address);
        std::int32_t result = 0;
        if (std::strcmp(expected.name, "MED_GetCallVolume") == 0)
            result = reinterpret_cast<FlatCall8>(address)(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9],
                                                          a[10], a[11]);
        else
            result = reinterpret_cast<FlatCall>(address)(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9],
                                                         a[10], a[11]);
        EXPECT_EQ(expected.resultBits == 32 ? 0x6D4C21A7 : 0xA7, result);
        ASSERT_EQ(1u, recording::Calls().size());
        const LibraryCall& call = recording::Calls().front();
        EXPECT_EQ('M', call.library);
        EXPECT_EQ(expected.lookup, call.name);
        for (std::size_t at = 0; at < expected.passed.size(); ++at) {
            const int k = expected.passed[at];
            if (k == 0) {
                EXPECT_NE(a[expected.copied - 1], call.args[at]) << "an address, not the value";
                EXPECT_EQ(0x5100 + 0x11 * expected.copied, call.pointee) << "the address of a copy of the argument";
            } else {
                EXPECT_EQ(0x5100 + 0x11 * k, call.args[at]) << "library argument " << at + 1;
            }
        }
    }
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
