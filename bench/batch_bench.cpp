// Prints what one device of a batch costs apart from the dialog's 1800 ms tick:
// Connect + WritePu through IDispatch against simulated devices that answer at once (the
// day's log written as in the field), and loading a 100,000-row device list against a
// plain read and split of the same file, and checking that list as trevanil_host --check
// does. Figures only; nothing is asserted.
// Usage: batch_bench FIRST_DEVICE_IP DEVICE_COUNT   (devices FIRST .. FIRST+COUNT-1, older
// protocol, registered "ORVEX.orvexCtrl.1"; tools/bench.sh sets both up)
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "orvex/control/orvex_contract.h"
#include "activex/raii.h"
#include "activex/unique_handle.h"
#include "bench_support.h"
#include "device_list.h"
#include "device_split.h"
#include "check_report.h"
#include "list_check.h"

namespace {

constexpr double kTickSeconds = 1.8;

void SetText(VARIANT* v, const std::wstring& text)
{
    V_VT(v) = VT_BSTR;
    V_BSTR(v) = SysAllocString(text.c_str());
}

void SetLong(VARIANT* v, long value)
{
    V_VT(v) = VT_I4;
    V_I4(v) = value;
}

// Calls a method by DISPID with the arguments in their written order; its result as long.
bool Call(IDispatch* control, DISPID id, activex::UniqueVariant* args, UINT count, long& result)
{
    std::vector<VARIANT> reversed;
    for (UINT i = count; i-- > 0;) reversed.push_back(*args[i].get());  // shallow: args keep ownership
    DISPPARAMS params{reversed.data(), nullptr, count, 0};
    activex::UniqueVariant out;
    if (FAILED(control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, out.get(), nullptr,
                               nullptr)))
        return false;
    result = SUCCEEDED(VariantChangeType(out.get(), out.get(), 0, VT_I4)) ? V_I4(out.get()) : 0;
    return true;
}

bool DispId(IDispatch* control, const wchar_t* name, DISPID& id)
{
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    return SUCCEEDED(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
}

int BenchWrites(const std::string& firstIp, int devices)
{
    CLSID clsid;
    activex::ComPtr<IDispatch> control;
    if (FAILED(CLSIDFromProgID(L"" ORVEX_PROGID_TEXT, &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.put_void()))) {
        std::printf("ORVEX.orvexCtrl.1 cannot be created (is orvex.dll registered?)\n");
        return 1;
    }
    DISPID connect = 0, writePu = 0;
    if (!DispId(control.get(), L"Connect", connect) || !DispId(control.get(), L"WritePu", writePu)) {
        std::printf("Connect/WritePu not found by name\n");
        return 1;
    }
    const std::size_t lastDot = firstIp.rfind('.');
    const std::wstring prefix(firstIp.begin(), firstIp.begin() + static_cast<std::ptrdiff_t>(lastDot + 1));
    const int firstHost = std::atoi(firstIp.c_str() + lastDot + 1);

    constexpr int kRounds = 3;
    int written = 0, calls = 0;
    double connectSeconds = 0;
    const LogTally logBefore = CountTodaysLog();
    const double start = Now();
    for (int round = 0; round < kRounds; ++round) {
        for (int d = 0; d < devices; ++d) {
            const std::wstring ip = prefix + std::to_wstring(firstHost + d);
            activex::UniqueVariant login[4];
            SetText(login[0].get(), ip);
            SetLong(login[1].get(), 5510);
            SetText(login[2].get(), L"");
            SetText(login[3].get(), L"");
            activex::UniqueVariant write[7];
            SetText(write[0].get(), ip);
            SetLong(write[1].get(), 5510);
            SetText(write[2].get(), L"10.0.0.5");
            SetLong(write[3].get(), 9000);
            SetText(write[4].get(), L"PU-" + std::to_wstring(d));
            SetText(write[5].get(), L"bench-" + std::to_wstring(d));
            SetText(write[6].get(), ip);
            long ignored = 0, result = 0;
            const double beforeConnect = Now();
            const bool connected = Call(control.get(), connect, login, 4, ignored);
            connectSeconds += Now() - beforeConnect;
            if (!connected || !Call(control.get(), writePu, write, 7, result)) {
                std::printf("IDispatch::Invoke failed\n");
                return 1;
            }
            ++calls;
            if (result != 0) ++written;
        }
    }
    const double perDevice = (Now() - start) / calls;
    const LogTally logAfter = CountTodaysLog();
    std::printf("one device, Connect + WritePu through IDispatch (%d devices x %d rounds, %d of %d written):\n",
                devices, kRounds, written, calls);
    std::printf("  per device                     %8.2f ms\n", perDevice * 1e3);
    std::printf("  the dialog's tick              %8.0f ms   tick / device = %.0f : 1 (device takes %.2f%% of a tick)\n",
                kTickSeconds * 1e3, kTickSeconds / perDevice, 100.0 * perDevice / kTickSeconds);

    // Where it goes: the stand-in library's own calls (made again, straight into it), the
    // log lines at what a line costs, and what is left for orvex and IDispatch.
    const double standIn = StandInSecondsPerDevice(std::string(prefix.begin(), prefix.end()), firstHost, devices,
                                                   kRounds);
    const double linesPerDevice = double(logAfter.lines - logBefore.lines) / calls;
    const double logPerDevice = linesPerDevice * SecondsPerLogLine();
    const double connectPerDevice = connectSeconds / calls;
    std::printf("  split of a device:\n");
    std::printf("    the stand-in halcyra.dll     %8.2f ms   (its calls of the write, made straight into it)\n",
                standIn * 1e3);
    std::printf("    the day's log                %8.2f ms   (%.1f lines at open, append, close)\n",
                logPerDevice * 1e3, linesPerDevice);
    std::printf("    orvex and IDispatch, rest    %8.2f ms   (of the device, Connect alone %.2f ms)\n",
                (perDevice - standIn - logPerDevice) * 1e3, connectPerDevice * 1e3);
    std::printf("    restarts run meanwhile       %8ld\n", logAfter.restarts - logBefore.restarts);
    return written == calls ? 0 : 1;
}

// The comparison: the whole file in one read, split into the same rows of fields.
std::vector<std::vector<std::string>> RawReadAndSplit(const wchar_t* path)
{
    std::vector<std::vector<std::string>> rows;
    activex::UniqueFileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return rows;
    std::string bytes(GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) return rows;
    bytes.resize(read);
    std::size_t lineStart = bytes.find('\n');
    while (lineStart != std::string::npos && lineStart + 1 < bytes.size()) {
        ++lineStart;
        std::size_t lineEnd = bytes.find('\n', lineStart);
        if (lineEnd == std::string::npos) lineEnd = bytes.size();
        std::size_t end = lineEnd > lineStart && bytes[lineEnd - 1] == '\r' ? lineEnd - 1 : lineEnd;
        std::vector<std::string> fields;
        for (std::size_t from = lineStart;;) {
            const std::size_t comma = bytes.find(',', from);
            if (comma == std::string::npos || comma >= end) {
                fields.emplace_back(bytes, from, end - from);
                break;
            }
            fields.emplace_back(bytes, from, comma - from);
            from = comma + 1;
        }
        rows.push_back(std::move(fields));
        lineStart = lineEnd < bytes.size() ? lineEnd : std::string::npos;
    }
    return rows;
}

int BenchDeviceList()
{
    constexpr int kRows = 100000;
    const char* path = "C:\\orvex_bench_devices.csv";
    const wchar_t* widePath = L"C:\\orvex_bench_devices.csv";
    {
        std::string text = "name,remark,device ip,user,password,model,serial,location,device id,group,vendor,notes,gb,"
                           "platform ip,platform port\r\n";
        char line[200];
        for (int i = 0; i < kRows; ++i) {
            const int n = std::snprintf(line, sizeof line, "camera-%06d,,10.%d.%d.%d,admin,admin123,,,,PU-%06d,,,,0,,\r\n",
                                        i, i / 65536, (i / 256) % 256, i % 256, i);
            text.append(line, static_cast<std::size_t>(n));
        }
        activex::UniqueFileHandle file(
            CreateFileW(widePath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file || !WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
            std::printf("cannot write %s\n", path);
            return 1;
        }
    }
    constexpr int kRepeats = 5;
    double best[2] = {1e9, 1e9};
    std::size_t rows[2] = {0, 0};
    double bestCheck = 1e9, bestReport = 1e9, bestWhole = 1e9;
    std::size_t checkLines = 0;
    for (int r = 0; r < kRepeats; ++r) {
        double start = Now();
        const DeviceList list = ReadDeviceListFile(path);
        rows[0] = list.rows.size();
        best[0] = std::min(best[0], Now() - start);
        // What trevanil_host --check does besides printing: judge every row, find the
        // duplicates, and format the report.
        const double checkStart = Now();
        const trevanil_host::ListCheck check =
            trevanil_host::CheckDeviceList(list, trevanil_host::DialogPlatform{"10.0.0.5", "9000"});
        const double reportStart = Now();
        checkLines = trevanil_host::FormatCheckLines(check, 2, [](const std::string& t) { return t; }).size();
        const double end = Now();
        bestCheck = std::min(bestCheck, reportStart - checkStart);
        bestReport = std::min(bestReport, end - reportStart);
        bestWhole = std::min(bestWhole, end - start);
        start = Now();
        rows[1] = RawReadAndSplit(widePath).size();
        best[1] = std::min(best[1], Now() - start);
    }
    DeleteFileW(widePath);
    std::printf("loading a %d-row device list (best of %d):\n", kRows, kRepeats);
    std::printf("  ReadDeviceListFile             %8.1f ms (%zu rows)\n", best[0] * 1e3, rows[0]);
    std::printf("  raw read + split               %8.1f ms (%zu rows)   ReadDeviceListFile / raw = %.2f\n",
                best[1] * 1e3, rows[1], best[0] / best[1]);
    std::printf("  the run's ticks for those rows %8.0f s   load / run = 1 : %.0f\n", kRows * kTickSeconds,
                kRows * kTickSeconds / best[0]);
    std::printf("checking the same list (trevanil_host --check without the printing, best of %d):\n", kRepeats);
    std::printf("  rows judged, duplicates found  %8.1f ms\n", bestCheck * 1e3);
    std::printf("  the report's lines             %8.1f ms (%zu lines)\n", bestReport * 1e3, checkLines);
    std::printf("  load, check and report         %8.1f ms\n", bestWhole * 1e3);
    return rows[0] == kRows && rows[1] == kRows && checkLines == kRows + 1 ? 0 : 1;
}

struct ComApartment {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComApartment() { if (SUCCEEDED(hr)) CoUninitialize(); }
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::printf("usage: batch_bench FIRST_DEVICE_IP DEVICE_COUNT\n");
        return 2;
    }
    int status = BenchDeviceList();
    ComApartment apartment;
    if (FAILED(apartment.hr)) return 1;
    status |= BenchWrites(argv[1], std::atoi(argv[2]));
    return status;
}
