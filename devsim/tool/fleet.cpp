#include "fleet.h"

#include <stdexcept>

namespace devsim {
namespace {

struct FleetEntry {
    const char* address;
    Protocol protocol;
    const char* user;
    const char* password;
    const char* charset_list;  // older protocol only; null: factory value
    const char* setting_275;   // older protocol only
    const char* fault_call;    // null: none
    int fault_code;
    const char* delay_call;
    int delay_ms;
};

// Demo credentials of the newer devices: admin / admin123 (one device uses another
// password, so the batch run shows a refused login).
constexpr FleetEntry kFleet[] = {
    {"192.168.1.10", Protocol::Old, "", "", "GB2312,UTF-8", "0", nullptr, 0, nullptr, 0},
    {"192.168.1.11", Protocol::Old, "", "", "gb2312, utf-8", "2", nullptr, 0, "ZRM_ConnectPU", 300},
    {"192.168.1.12", Protocol::Old, "", "", "GB2312,UTF8", "0", "ZRM_SaveSettings", -7, nullptr, 0},
    {"192.168.1.20", Protocol::New, "admin", "admin123", nullptr, nullptr, nullptr, 0, nullptr, 0},
    {"192.168.1.21", Protocol::New, "admin", "admin123", nullptr, nullptr, nullptr, 0, "IPC_Login", 500},
    {"192.168.1.22", Protocol::New, "admin", "Fk7#q2xZ", nullptr, nullptr, nullptr, 0, nullptr, 0},
};

}  // namespace

std::vector<Device> DemoFleet()
{
    std::vector<Device> fleet;
    for (const auto& e : kFleet) {
        Device device = MakeDevice(e.address, e.protocol, 0, e.user, e.password);
        std::string error;
        if (e.charset_list && !device.SetField("charset_list", e.charset_list, error))
            throw std::logic_error(error);
        if (e.setting_275 && !device.SetField("setting_275", e.setting_275, error)) throw std::logic_error(error);
        if (e.fault_call) device.faults[e.fault_call] = e.fault_code;
        if (e.delay_call) device.delays[e.delay_call] = e.delay_ms;
        fleet.push_back(std::move(device));
    }
    return fleet;
}

}  // namespace devsim
