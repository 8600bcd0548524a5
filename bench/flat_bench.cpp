// Prints what one forwarded flat call costs against a direct call and against the two
// look-ups it makes, and how many log lines per second WriteLog writes against a raw
// open/seek/write/close loop on the same file. Figures only; nothing is asserted.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>

#include "bench_support.h"
#include "flat_call_depth.h"
#include "log_root.h"
#include "write_log.h"

namespace {

using GetVersionFn = std::int32_t (*)(std::intptr_t, std::intptr_t);
using InitDllFn = std::int32_t (*)(std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t);

// The parts of a forwarder's counting, each as a pair (enter and leave), built here with
// the module's own code and compiler.
// Each in a function of its own, as in the forwarders' FlatEnterCall/FlatLeaveCall, so
// that the compiler cannot keep a thread's variable's address across the loop.
thread_local long t_benchDepth = 0;
std::atomic<long> g_benchInFlight{0};

__attribute__((noinline)) long ThreadLocalInOut()
{
    ++t_benchDepth;
    const long depth = t_benchDepth;
    --t_benchDepth;
    return depth;
}

__attribute__((noinline)) long SlotInOut()
{
    SetFlatCallDepth(FlatCallDepth() + 1);
    const long depth = FlatCallDepth();
    SetFlatCallDepth(FlatCallDepth() - 1);
    return depth;
}

__attribute__((noinline)) long AtomicsInOut()
{
    g_benchInFlight.fetch_add(1);
    const long inFlight = g_benchInFlight.load();
    g_benchInFlight.fetch_sub(1);
    return inFlight;
}

// The best of five rounds: another process on the machine only ever adds time.
template <typename Body>
double TimePerIteration(int iterations, Body body)
{
    double best = 0;
    for (int round = 0; round < 5; ++round) {
        const double start = Now();
        for (int i = 0; i < iterations; ++i) body(i);
        const double perIteration = (Now() - start) / iterations;
        if (round == 0 || perIteration < best) best = perIteration;
    }
    return best;
}

int BenchFlatCalls()
{
    HMODULE orvex = LoadLibraryW(L"orvex.dll");
    if (!orvex) {
        std::printf("orvex.dll not found beside the benchmark\n");
        return 1;
    }
    auto initDll = reinterpret_cast<InitDllFn>(reinterpret_cast<void*>(GetProcAddress(orvex, "IPC_InitDll")));
    auto forwarded = reinterpret_cast<GetVersionFn>(reinterpret_cast<void*>(GetProcAddress(orvex, "IPC_GetVersion")));
    std::int32_t error = 0;
    if (!initDll || !forwarded || initDll(reinterpret_cast<std::intptr_t>("ravicore.dll"), 3300, 0,
                                          reinterpret_cast<std::intptr_t>(&error)) != 1) {
        std::printf("could not load the benchmark's camera library through orvex\n");
        return 1;
    }
    HMODULE camera = GetModuleHandleW(L"ravicore.dll");
    auto direct = reinterpret_cast<GetVersionFn>(reinterpret_cast<void*>(GetProcAddress(camera, "IPC_GetVersion")));

    constexpr int kCalls = 200000;
    volatile std::int32_t sink = 0;
    const double forwardedCost = TimePerIteration(kCalls, [&](int i) { sink = sink + forwarded(i, 0); });
    const double directCost = TimePerIteration(kCalls, [&](int i) { sink = sink + direct(i, 0); });
    const double lookupCost = TimePerIteration(kCalls, [&](int) {
        sink = sink + (GetProcAddress(camera, "IPC_GetVersion") != nullptr) +
               (GetProcAddress(camera, "IPC_GetVersion") != nullptr);
    });
    std::printf("flat call, %d calls each (best of 5 rounds):\n", kCalls);
    std::printf("  forwarded through orvex.dll   %8.1f ns/call\n", forwardedCost * 1e9);
    std::printf("  direct call into the library  %8.1f ns/call\n", directCost * 1e9);
    std::printf("  two GetProcAddress look-ups   %8.1f ns/pair\n", lookupCost * 1e9);
    std::printf("  forwarded / direct = %.1f, forwarded / look-ups = %.2f\n", forwardedCost / directCost,
                forwardedCost / lookupCost);

    // Where a forwarded call's time goes: its one look-up (the media library is not
    // loaded here), the counting and the rest (argument shaping, the two calls).
    const double oneLookupCost = TimePerIteration(kCalls, [&](int) {
        sink = sink + (GetProcAddress(camera, "IPC_GetVersion") != nullptr);
    });
    const double threadLocalCost = TimePerIteration(kCalls, [&](int) { sink = sink + ThreadLocalInOut(); });
    const double slotCost = TimePerIteration(kCalls, [&](int) { sink = sink + SlotInOut(); });
    const double atomicsCost = TimePerIteration(kCalls, [&](int) { sink = sink + AtomicsInOut(); });
    std::printf("the parts of a forwarded call:\n");
    std::printf("  one GetProcAddress look-up    %8.1f ns\n", oneLookupCost * 1e9);
    std::printf("  count in/out (two atomics)    %8.1f ns\n", atomicsCost * 1e9);
    std::printf("  depth in/out, TEB slot        %8.1f ns   (what the forwarders use)\n", slotCost * 1e9);
    std::printf("  depth in/out, thread_local    %8.1f ns   (mingw's emulated TLS, for comparison)\n",
                threadLocalCost * 1e9);
    std::printf("  the rest                      %8.1f ns   (forwarded - look-up - count - depth)\n",
                (forwardedCost - oneLookupCost - atomicsCost - slotCost) * 1e9);
    return 0;
}

void BenchLog()
{
    const char* root = "C:\\orvex_bench\\";
    SetLogRootForTesting(root);
    constexpr int kLines = 2000;
    const char* message = "PuManager::WritePu start. szPuIP=192.168.1.64 lPuID=1";

    auto writeLogLines = [&] { return TimePerIteration(kLines, [&](int i) { WriteLog("Bench::WriteLog", i, message); }); };
    writeLogLines();  // the first round also creates the folders and the file

    const std::string path = TodaysLogPath(root);
    char line[256];
    const int length = std::snprintf(line, sizeof line, "[00:00:00]Bench::Raw:1 %s\r\n", message);
    auto rawLines = [&] { return TimePerIteration(kLines, [&](int) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        SetFilePointer(file, 0, nullptr, FILE_END);
        DWORD written = 0;
        WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
        CloseHandle(file);
    }); };
    const double perRawLine = rawLines();
    const double perLine = writeLogLines();
    std::printf("log lines, %d lines each:\n", kLines);
    std::printf("  WriteLog                      %8.0f lines/s\n", 1.0 / perLine);
    std::printf("  raw open/seek/write/close     %8.0f lines/s\n", 1.0 / perRawLine);
    std::printf("  WriteLog / raw (time a line) = %.2f\n", perLine / perRawLine);

    DeleteFileA(path.c_str());
    char logDir[MAX_PATH];
    std::snprintf(logDir, sizeof logDir, "%sLog", root);
    RemoveDirectoryA(logDir);
    RemoveDirectoryA(root);
    SetLogRootForTesting(nullptr);
}

}  // namespace

int main()
{
    const int status = BenchFlatCalls();
    BenchLog();
    return status;
}
