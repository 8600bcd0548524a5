// What the recording stand-in libraries received: each of their functions reports to
// RecorderSink, which this test program exports, and returns the sink's answer.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using FlatArg = std::intptr_t;

struct LibraryCall {
    char library;            // 'C' camera, 'M' media
    std::string name;        // the name the library function is exported under
    FlatArg args[12];        // the words above the return address (only the passed ones mean anything)
    void* returnAddress;     // where the library function returns to
    FlatArg pointee;         // *args[derefPosition] read during the call, when asked for
};

namespace recording {
std::vector<LibraryCall>& Calls();
void Reset();
void SetAnswer(std::int32_t answer);      // what every library function returns from now on
void SetDerefPosition(int position);      // 0-based library argument to read through; -1: none
// Runs inside every library function after it is recorded, on the calling thread (set
// it while no library call runs).
void SetDuringCall(std::function<void(const std::string& name)> during);
}  // namespace recording
