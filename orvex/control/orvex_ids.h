// The control's identifiers, fixed for good (orvex.idl carries the same values). The
// CLSID and the DISPIDs come from orvex_contract.h, which other code reads too.
#pragma once
#include <windows.h>
#include "activex/guid_text.h"
#include "orvex_contract.h"

// LIBID of orvexLib 1.0
inline constexpr GUID LIBID_orvexLib = {0xDF201C8C, 0x655F, 0x45AB, {0xAC, 0xA7, 0x46, 0x3B, 0xDF, 0xA4, 0x1D, 0x85}};
// IID of _Dorvex
inline constexpr GUID DIID__Dorvex = {0x459844E4, 0xEF82, 0x48D5, {0x88, 0x53, 0x9E, 0x59, 0xC5, 0x6A, 0x04, 0xD0}};
// IID of _DorvexEvents
inline constexpr GUID DIID__DorvexEvents = {0x35F09AE1, 0xB0D5, 0x4A1B, {0x97, 0xA0, 0x3D, 0xD5, 0x11, 0x0C, 0x6E, 0x4B}};
// CLSID of coclass orvex (COrvexCtrl)
inline constexpr GUID CLSID_orvex = activex::GuidFromText(ORVEX_CLSID_TEXT);
// CLSID of COrvexPropPage
inline constexpr GUID CLSID_orvexPropPage = {0xD0713758, 0x8004, 0x4A78, {0xAC, 0x8A, 0x5C, 0x40, 0xFC, 0x27, 0xDC, 0x37}};

inline constexpr WORD kOrvexLibMajor = 1;
inline constexpr WORD kOrvexLibMinor = 0;
inline constexpr LCID kOrvexLibLcid = 0x0409;

// DISPIDs of _Dorvex and _DorvexEvents.
enum : LONG {
    DISPID_ORVEX_WRITEPU = ORVEX_DISPID_WRITEPU,
    DISPID_ORVEX_CONNECT = ORVEX_DISPID_CONNECT,
    DISPID_ORVEX_DISCONNECT = ORVEX_DISPID_DISCONNECT,
    DISPID_ORVEX_ISUSEDOMAIN = ORVEX_DISPID_ISUSEDOMAIN,
    DISPID_ORVEX_PUERROROUT = ORVEX_DISPID_PUERROROUT,
};
