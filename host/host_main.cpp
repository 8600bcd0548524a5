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
#include "exit_codes.h"

namespace {

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
        return static_cast<int>(HostExit::BadArguments);
    }
    ComApartment apartment;
    if (FAILED(apartment.hr)) {
        PrintError("trevanil_host: OLE cannot be initialised");
        return static_cast<int>(HostExit::Unexpected);
    }
    CHostFrame frame(*options);
    HostExit refused = HostExit::Done;
    if (!frame.Create(error, refused)) {
        PrintError("trevanil_host: " + error);
        return static_cast<int>(refused);
    }
    const int status = frame.Run();
    // The written devices restart after their writes: the record counts a row done only then.
    frame.Progress().AwaitRestartsAndFinish(options->restartLimitSeconds);
    std::vector<HostExit> found = frame.Progress().Outcome();
    found.push_back(static_cast<HostExit>(status));
    return FirstExit(found);
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
    return static_cast<int>(trevanil_host::HostExit::Unexpected);
}
