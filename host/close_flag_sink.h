// The host's sink for the batch control's event interface: SetCloseFlag(short).
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <functional>

namespace trevanil_host {

// A new sink (one reference for the caller) that calls `onCloseFlag` for each event.
HRESULT CreateCloseFlagSink(std::function<void(short)> onCloseFlag, IDispatch** out);

} // namespace trevanil_host
