// A device-access stand-in that records every call and answers WritePu per device IP.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "device_access.h"

struct DeviceCall
{
    std::string method;  // "Connect" or "WritePu"
    std::string puIp;
    std::int32_t puPort = 0;
    std::string userName, password;                   // Connect
    std::string platIp;                               // WritePu from here on
    std::int32_t platPort = 0;
    std::string puId, newDevName, puNewIp;
    TextEncoding encoding = TextEncoding::Ansi;
};

class CFakeDeviceAccess final : public IDeviceAccess
{
public:
    bool IsAvailable() const override { return available; }

    std::int32_t Connect(const std::string& ip, std::int32_t port, const std::string& userName,
                         const std::string& password, TextEncoding encoding) override
    {
        DeviceCall call;
        call.method = "Connect";
        call.puIp = ip;
        call.puPort = port;
        call.userName = userName;
        call.password = password;
        call.encoding = encoding;
        calls.push_back(call);
        return 0;  // the run must not care
    }

    std::int32_t WritePu(const std::string& puIp, std::int32_t puPort, const std::string& platIp,
                         std::int32_t platPort, const std::string& puId, const std::string& newDevName,
                         const std::string& puNewIp, TextEncoding encoding) override
    {
        DeviceCall call;
        call.method = "WritePu";
        call.puIp = puIp;
        call.puPort = puPort;
        call.platIp = platIp;
        call.platPort = platPort;
        call.puId = puId;
        call.newDevName = newDevName;
        call.puNewIp = puNewIp;
        call.encoding = encoding;
        calls.push_back(call);
        // Stands for a message loop running inside the call (a modal dialog).
        if (whileWriting) whileWriting(puIp);
        const auto result = writeResults.find(puIp);
        return result == writeResults.end() ? 1 : result->second;
    }

    std::vector<DeviceCall> WritePuCalls() const
    {
        std::vector<DeviceCall> writes;
        for (const DeviceCall& call : calls) {
            if (call.method == "WritePu") writes.push_back(call);
        }
        return writes;
    }

    bool available = true;
    std::map<std::string, std::int32_t> writeResults;  // by device IP; 1 when not listed
    std::function<void(const std::string& puIp)> whileWriting;
    std::vector<DeviceCall> calls;
};
