// A programmable stand-in for the module's IPC_ exports as the V7 adapter and the
// registry use them: one device with three settings blocks, statuses and error values
// chosen per function, and a record of what every call passed.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct FakeCamera {
    std::map<std::string, std::int32_t> status;      // per function; 1 when not set
    std::map<std::string, int> errOut;               // written through the error pointer when set
    std::map<std::string, int> initErr;              // IPC_InitDll: per library name, written to err
    std::map<std::string, std::vector<std::uint8_t>> blocks;  // "Quor", "DeviceInfo", "IpInfo"
    std::int32_t createHandleResult = 5;
    std::uint8_t connectedFlag = 1;                  // what IPC_IsConnect reports
    bool detectorPresent = true;
    std::int32_t detectorStatus = 1;

    // What the calls passed.
    std::vector<std::string> calls;
    std::map<std::string, int> errSeen;              // error value on entry, per function
    std::map<std::string, long long> sizeSeen;       // size argument, per block call
    std::map<std::string, int> handleSeen;           // handle value (read through the pointer)
    std::vector<std::string> initLibraries;
    std::vector<long long> initValues;
    int releaseCount = 0;
    std::uint32_t createAddr = 0;
    long long createPort = 0;
    std::string createUser, createPass, loginUser, loginPass;
    long long detectInterval = 0, detectMode = 0, detectLast = -1;
    bool detectCallbackGiven = false;

    std::vector<std::uint8_t>& Block(const std::string& name, std::size_t size);
    int CountCalls(const std::string& name) const;
};

FakeCamera& Camera();
void ResetCamera();
