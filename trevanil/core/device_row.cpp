#include "device_row.h"

#include "number_text.h"

namespace {

std::string FieldIfPresent(const DeviceRow& row, std::size_t field, std::size_t minFields)
{
    return row.size() >= minFields ? row[field] : std::string();
}

}  // namespace

DeviceRowValues TakeDeviceRowValues(const DeviceRow& row)
{
    using namespace DeviceField;
    DeviceRowValues values;
    values.name = FieldIfPresent(row, kName, kMinForDevice);
    values.ip = FieldIfPresent(row, kIp, kMinForDevice);
    values.user = FieldIfPresent(row, kUser, kMinForDevice);
    values.password = FieldIfPresent(row, kPassword, kMinForDevice);
    values.id = FieldIfPresent(row, kId, kMinForDevice);
    values.gbFlag = FieldIfPresent(row, kGbFlag, kMinForGbFlag);
    values.platformIp = FieldIfPresent(row, kPlatformIp, kMinForPlatform);
    values.platformPort = FieldIfPresent(row, kPlatformPort, kMinForPlatform);
    return values;
}

void StripOneHash(std::string& text)
{
    if (!text.empty() && text.front() == '#') text.erase(0, 1);
}

std::optional<DeviceRowValues> TakeCompleteDevice(const DeviceRow& row)
{
    if (row.size() < DeviceField::kMinForDevice) return std::nullopt;
    DeviceRowValues values = TakeDeviceRowValues(row);
    if (values.name.empty() || values.id.empty() || values.ip.empty()) return std::nullopt;
    StripOneHash(values.name);
    StripOneHash(values.id);
    if (values.name.empty() || values.id.empty()) return std::nullopt;
    return values;
}

bool IsGbDevice(const DeviceRowValues& values)
{
    return !values.gbFlag.empty() && AtoiLike(values.gbFlag) != 0;
}

bool HasOwnPlatform(const DeviceRowValues& values)
{
    return !values.platformIp.empty() && !values.platformPort.empty();
}
