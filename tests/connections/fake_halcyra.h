// A programmable stand-in for halcyra.dll's ZRM_ functions: one device whose groups
// hold bytes, results chosen per function, and a record of every call.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct FakeHalcyra {
    // Result per function name ("ZRM_SetPuParam"); 0 when not set. For the group
    // calls a key "ZRM_SetPuParam:<group>" wins over the plain name.
    std::map<std::string, int> results;
    std::map<int, std::vector<std::uint8_t>> groups;  // group number -> device bytes
    int capVal = 0;        // ZRM_GetPuCapVal's answer
    int connected = 1;     // ZRM_IsConnected's answer
    int nextHandle = 7;    // what ZRM_InitPu writes

    // What the calls passed.
    std::vector<std::string> calls;  // e.g. "ZRM_GetPuParam:28:80"
    bool userWasNull = false;
    bool passWasNull = false;
    std::uint32_t connectAddr = 0;
    int connectPort = 0;
    std::vector<int> handlesSeen;

    // The group's bytes as the device now holds them (zero-filled to size when new).
    std::vector<std::uint8_t>& Group(int group, std::size_t size);
    int CountCalls(const std::string& prefix) const;
};

FakeHalcyra& Halcyra();
void ResetHalcyra();
