// The MiscStatus bits of our controls: registered under the class key and answered by
// IOleObject::GetMiscStatus.
#pragma once
#include <windows.h>
#include <oleidl.h>

namespace activex {

// Given its client site before it loads, activated in place as soon as it is visible,
// in a window of its own (inside-out), no links to its inside, redrawn when resized.
inline constexpr DWORD kControlMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE |
                                            OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
static_assert(kControlMiscStatus == 0x20191, "the registered value hosts know");

} // namespace activex
