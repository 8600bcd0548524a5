// What one row of the device list means to the batch run.
#pragma once
#include <optional>
#include <string>

#include "device_list.h"

// Field numbers (from 0) and how many fields a row needs before each is read.
namespace DeviceField {
constexpr std::size_t kName = 0;
constexpr std::size_t kIp = 2;
constexpr std::size_t kUser = 3;
constexpr std::size_t kPassword = 4;
constexpr std::size_t kId = 8;
constexpr std::size_t kGbFlag = 12;
constexpr std::size_t kPlatformIp = 13;
constexpr std::size_t kPlatformPort = 14;

constexpr std::size_t kMinForDevice = 9;     // name, IP, login and ID
constexpr std::size_t kMinForGbFlag = 13;
constexpr std::size_t kMinForPlatform = 15;  // the row's own platform address
}  // namespace DeviceField

// The values of a row; a value whose field is not read is empty.
struct DeviceRowValues
{
    std::string name;
    std::string ip;
    std::string user;
    std::string password;
    std::string id;
    std::string gbFlag;
    std::string platformIp;
    std::string platformPort;
};

// The values of a row; a field the row is too short for gives an empty value.
DeviceRowValues TakeDeviceRowValues(const DeviceRow& row);

// Removes one leading "#" (a second one stays).
void StripOneHash(std::string& text);

// The values of a complete row, with the one leading "#" removed from name and ID.
// A row is complete when it has the device fields and its name, ID and IP are
// non-empty, name and ID still so without their "#". Nothing for any other row.
std::optional<DeviceRowValues> TakeCompleteDevice(const DeviceRow& row);

// The GB flag marks a device the run must not write: non-empty and nonzero as a number.
bool IsGbDevice(const DeviceRowValues& values);

// The row names its own platform address: both of its fields are non-empty.
bool HasOwnPlatform(const DeviceRowValues& values);
