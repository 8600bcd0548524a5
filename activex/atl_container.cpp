#include "atl_container.h"

namespace activex {

const AtlContainer* AtlContainer::Get()
{
    // atl.dll stays loaded for the life of the process: windows of its classes may
    // outlive any one user of it.
    static const AtlContainer* const container = []() -> const AtlContainer* {
        HMODULE atl = LoadLibraryW(L"atl.dll");
        if (!atl) return nullptr;
        static AtlContainer loaded;
        auto init = reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
        loaded.m_createDialog =
            reinterpret_cast<CreateDialogFn>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxCreateDialogW")));
        loaded.m_getControl =
            reinterpret_cast<GetControlFn>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
        if (!init || !loaded.m_createDialog || !loaded.m_getControl) return nullptr;
        // A second module of the process (a host and the control it hosts each have
        // this code) finds the window class registered already: Wine's AtlAxWinInit
        // then answers FALSE, though the container is ready.
        WNDCLASSEXW registered{sizeof registered};
        if (!init() && !GetClassInfoExW(nullptr, L"AtlAxWin", &registered)) return nullptr;
        return &loaded;
    }();
    return container;
}

} // namespace activex
