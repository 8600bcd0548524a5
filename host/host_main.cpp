// trevanil_host: hosts the batch registration control "TREVANIL.TrevanilCtrl.1" in a
// window the way the platform's client does. See HostUsage() for the options.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <string>
#include <vector>
#include "console_out.h"
#include "dialog_automation.h"
#include "host_frame.h"
#include "host_options.h"

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
    const std::optional<HostOptions> options = ParseHostOptions(Arguments(), error);
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
    CHostFrame frame(*options);
    if (!frame.Create(error)) {
        PrintError("trevanil_host: " + error);
        return 2;
    }
    return frame.Run();
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
