// trevanil_host: hosts the batch registration control "TREVANIL.TrevanilCtrl.1" in a
// window the way the platform's client does. See HostUsage() for the options.
#include <windows.h>
#include <cstdint>
#include <objbase.h>
#include <shellapi.h>
#include <string>
#include <vector>
#include "check_command.h"
#include "console_out.h"
#include "dialog_automation.h"
#include "host_frame.h"
#include "host_options.h"
#include "restart_wait.h"

namespace {

// Exit code when the run itself went well but device restarts did not finish.
constexpr int kExitRestartsPending = 4;

std::vector<std::string> Arguments()
{
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv) return args;
    for (int i = 1; i < count; ++i) args.push_back(trevanil_host::WideToUtf8Text(argv[i]));
    LocalFree(argv);
    return args;
}

struct ComApartment {
    HRESULT hr = OleInitialize(nullptr);
    ~ComApartment() { if (SUCCEEDED(hr)) OleUninitialize(); }
};

int RunHost()
{
    using namespace trevanil_host;
    std::string error;
    const std::vector<std::string> args = Arguments();
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "/?")) {
        PrintLine(std::string(HostUsage()) + "\n" + CheckUsage());
        return 0;
    }
    if (IsCheckCommand(args)) return RunCheckArguments(args);
    const std::optional<HostOptions> options = ParseHostOptions(args, error);
    if (!options) {
        PrintError("trevanil_host: " + error);
        PrintError(HostUsage());
        return 2;
    }
    ComApartment apartment;
    if (FAILED(apartment.hr)) {
        PrintError("trevanil_host: OLE cannot be initialised");
        return 2;
    }
    const std::uint64_t deviceLogStart = DeviceLogPosition();
    CHostFrame frame(*options);
    if (!frame.Create(error)) {
        PrintError("trevanil_host: " + error);
        return 2;
    }
    const int status = frame.Run();
    if (!WaitForDeviceRestarts(deviceLogStart, options->restartLimitSeconds)) return status != 0 ? status : kExitRestartsPending;
    return status;
}

} // namespace

int main()
{
    try {
        return RunHost();
    } catch (const std::exception& e) {
        trevanil_host::PrintError(std::string("trevanil_host: ") + e.what());
    } catch (...) {
        trevanil_host::PrintError("trevanil_host: unexpected error");
    }
    return 9;
}
