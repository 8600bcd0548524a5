// A stand-in for the camera or the media library that exports, under the names the
// forwarders look up, one function per row of the export list. Each reports what it
// received to the test program (its exported RecorderSink) and returns what the sink
// answers. RECORDER_LIBRARY is 'C' (camera) or 'M' (media); the .def file chooses
// which names this build exports.
#include <windows.h>

#include <cstdint>

using FlatArg = std::intptr_t;
using RecorderSinkFn = std::int32_t (*)(char library, const char* name, const FlatArg* args, void* returnAddress);

namespace {

std::int32_t Report(const char* name, const FlatArg* args, void* returnAddress)
{
    auto sink = reinterpret_cast<RecorderSinkFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(nullptr), "RecorderSink")));
    return sink ? sink(RECORDER_LIBRARY, name, args, returnAddress) : 1;
}

}  // namespace

// Every function reads twelve argument words: cdecl leaves the caller's frame above
// the ones passed, and the test compares only the words that were passed.
#define RECORDER_FUNCTION(name, lookup)                                                                 \
    extern "C" __attribute__((noinline)) std::int32_t Rec_##name(FlatArg a1, FlatArg a2, FlatArg a3,   \
        FlatArg a4, FlatArg a5, FlatArg a6, FlatArg a7, FlatArg a8, FlatArg a9, FlatArg a10,            \
        FlatArg a11, FlatArg a12)                                                                       \
    {                                                                                                   \
        const FlatArg args[12] = {a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12};                   \
        return Report(lookup, args, __builtin_return_address(0));                                      \
    }

#define FLAT_ORDINARY(name, argc) RECORDER_FUNCTION(name, #name)
#define FLAT_RENAMED(name, argc, lookup) RECORDER_FUNCTION(name, lookup)
#define FLAT_ARGCOPY(name, argc, k) RECORDER_FUNCTION(name, #name)
#define FLAT_ARGDROP(name, argc, k) RECORDER_FUNCTION(name, #name)
#define FLAT_RESULT32(name, argc) RECORDER_FUNCTION(name, #name)
#define FLAT_RESULT8(name, argc) RECORDER_FUNCTION(name, #name)
#define FLAT_OWN(name, argc) RECORDER_FUNCTION(name, #name)
#define FLAT_TAILCALL(name) RECORDER_FUNCTION(name, #name)
#include "flat_exports.inc"

namespace {

struct OwnThreadWork {
    void (*function)(void*);
    void* context;
};

DWORD WINAPI OwnThread(void* parameter)
{
    const auto* work = static_cast<const OwnThreadWork*>(parameter);
    work->function(work->context);
    return 0;  // back in this library's code: it must still be loaded
}

}  // namespace

// Runs function(context) on a thread of this library's own and waits for it, as a
// library's worker thread calls its host back.
extern "C" void RecorderRunOnOwnThread(void (*function)(void*), void* context)
{
    OwnThreadWork work{function, context};
    HANDLE thread = CreateThread(nullptr, 0, &OwnThread, &work, 0, nullptr);
    if (!thread) return;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}
