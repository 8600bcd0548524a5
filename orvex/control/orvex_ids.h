// The control's identifiers as C++ constants, from orvex_contract.h (which orvex.idl reads too).
#pragma once
#include <windows.h>
#include "activex/guid_text.h"
#include "orvex_contract.h"

inline constexpr GUID LIBID_orvexLib = activex::GuidFromText(ACTIVEX_GUID_TEXT(ORVEX_LIBID_UUID));
inline constexpr GUID DIID__Dorvex = activex::GuidFromText(ACTIVEX_GUID_TEXT(ORVEX_DIID_UUID));
inline constexpr GUID DIID__DorvexEvents = activex::GuidFromText(ACTIVEX_GUID_TEXT(ORVEX_EVENTS_DIID_UUID));
inline constexpr GUID CLSID_orvex = activex::GuidFromText(ORVEX_CLSID_TEXT);
// CLSID of COrvexPropPage (not in the type library)
inline constexpr GUID CLSID_orvexPropPage = {0xD0713758, 0x8004, 0x4A78, {0xAC, 0x8A, 0x5C, 0x40, 0xFC, 0x27, 0xDC, 0x37}};

inline constexpr WORD kOrvexLibMajor = ORVEX_LIB_MAJOR;
inline constexpr WORD kOrvexLibMinor = ORVEX_LIB_MINOR;
inline constexpr LCID kOrvexLibLcid = ORVEX_LIB_LCID;
