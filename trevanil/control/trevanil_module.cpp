// Where trevanil.dll's parts are wired together: its entry point, the exception barrier's
// log and the description of its COM server. Control containment (atl.dll) and the list
// view class are set up when the first dialog is made, not under the loader lock.
#include "trevanil_module.h"

#include <cstdio>
#include "activex/dll_server.h"
#include "activex/module_entry.h"
#include "trevanil_ctrl.h"
#include "trevanil_ids.h"
#include "trevanil_prop_page.h"
#include "trevanil_resource.h"

namespace {

HMODULE g_module = nullptr;

// The module keeps no log of its own: what a barrier catches goes to the debugger.
void BarrierToDebugger(const char* where, const char* message) noexcept
{
    char line[512];
    std::snprintf(line, sizeof line, "trevanil: %s: %s\n", where ? where : "", message ? message : "");
    OutputDebugStringA(line);
}

const activex::ClassEntry kClasses[] = {
    {&CLSID_Trevanil, &activex::CreateObject<CTrevanilCtrl>},
    {&CLSID_TrevanilPropPage, &activex::CreateObject<CTrevanilPropPage>},
};

// Not "Insertable": the control is a dialog for the platform's client, not a document
// object for the Insert Object lists of word processors.
const activex::ServerDescription kServer = {
    &TrevanilModuleHandle, kClasses,
    &CLSID_Trevanil, IDS_TREVANIL, TREVANIL_PROGID, false, IDB_TREVANIL, activex::kStandardControlVerbs,
    &CLSID_TrevanilPropPage, IDS_TREVANIL_PPG, TREVANIL_PPG_PROGID,
    &LIBID_TREVANILLib, kTrevanilLibMajor, kTrevanilLibMinor, kTrevanilLibLcid,
    L"" ACTIVEX_VERSION_TEXT(TREVANIL_LIB_MAJOR, TREVANIL_LIB_MINOR),
    nullptr, nullptr,
};

}  // namespace

HMODULE TrevanilModuleHandle() { return g_module; }

const activex::ServerDescription& activex::ThisServer() { return kServer; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    return activex::ModuleEntry(instance, reason, g_module, &BarrierToDebugger);
}
