// While a run writes devices, possibly for hours: the machine does not go to sleep on its
// idle timer, and Windows, asked to end the session, shows why the host holds it up.
// Windows only; made and destroyed on the thread that owns the host's window (both calls
// of the system hold for that thread alone).
#pragma once
#include <windows.h>
#include <string>

namespace trevanil_host {

class CRunKeepAwake {
public:
    // `reason` (UTF-8) names the run, e.g. its device list; Windows shows it beside the
    // host when the session is to end. A null `window` keeps the machine awake only.
    CRunKeepAwake(HWND window, const std::string& reason);
    ~CRunKeepAwake();
    CRunKeepAwake(const CRunKeepAwake&) = delete;
    CRunKeepAwake& operator=(const CRunKeepAwake&) = delete;

    // The answer to WM_QUERYENDSESSION: FALSE while a run holds the session, else TRUE.
    static LRESULT QueryEndSessionAnswer();

private:
    HWND m_window;
    bool m_reasonShown;
};

} // namespace trevanil_host
