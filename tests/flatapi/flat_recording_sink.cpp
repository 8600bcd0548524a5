#include "flat_recording_sink.h"

#include <cstring>

namespace {
std::vector<LibraryCall> g_calls;
std::int32_t g_answer = 1;
int g_derefPosition = -1;
std::function<void(const std::string&)> g_during;
}  // namespace

extern "C" __declspec(dllexport) std::int32_t RecorderSink(char library, const char* name, const FlatArg* args,
                                                           void* returnAddress)
{
    LibraryCall call{library, name, {}, returnAddress, 0};
    std::memcpy(call.args, args, sizeof call.args);
    if (g_derefPosition >= 0) {
        // The pointer is valid only during the call: read it now, and write through
        // it as a library may, to show that the caller never sees that write.
        auto* pointer = reinterpret_cast<FlatArg*>(args[g_derefPosition]);
        call.pointee = *pointer;
        *pointer = 0x0BADF00D;
    }
    g_calls.push_back(call);
    if (g_during) g_during(name);
    return g_answer;
}

namespace recording {
std::vector<LibraryCall>& Calls() { return g_calls; }
void Reset()
{
    g_calls.clear();
    g_answer = 1;
    g_derefPosition = -1;
    g_during = nullptr;
}
void SetAnswer(std::int32_t answer) { g_answer = answer; }
void SetDerefPosition(int position) { g_derefPosition = position; }
void SetDuringCall(std::function<void(const std::string& name)> during) { g_during = std::move(during); }
}  // namespace recording
