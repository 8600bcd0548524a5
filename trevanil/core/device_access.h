// The device-access control the batch run writes devices through (the embedded orvex
// control on Windows; a fake in tests). Calls come on the window thread and block it.
#pragma once
#include <cstdint>
#include <string>

#include "device_list.h"

// `encoding` of each call says how its texts become the control's UTF-16 strings: they
// are in the device list file's encoding (the dialog's own ASCII texts read alike).
class IDeviceAccess
{
public:
    // False when the control could not be created (orvex.dll not registered): then
    // nothing can be written and the run does not start.
    virtual bool IsAvailable() const = 0;

    // Hands the device's login to the control for the next WritePu. The result carries
    // nothing the run uses.
    virtual std::int32_t Connect(const std::string& ip, std::int32_t port, const std::string& userName,
                                 const std::string& password, TextEncoding encoding) = 0;

    // Writes the platform address and port, the device ID, the new name and the new IP
    // into the device. Nonzero: written; 0: not written (also when the call itself fails).
    virtual std::int32_t WritePu(const std::string& puIp, std::int32_t puPort, const std::string& platIp,
                                 std::int32_t platPort, const std::string& puId, const std::string& newDevName,
                                 const std::string& puNewIp, TextEncoding encoding) = 0;

protected:
    ~IDeviceAccess() = default;
};
