// The batch control's identifiers, fixed for good (trevanil.idl carries the same values).
#pragma once
#include <windows.h>

// LIBID of TREVANILLib 1.0
inline constexpr GUID LIBID_TREVANILLib = {0xC49D8035, 0xCD34, 0x44FA, {0xBF, 0xE1, 0xD7, 0xC5, 0xA7, 0xD7, 0xDF, 0x8F}};
// IID of _DTrevanil
inline constexpr GUID DIID__DTrevanil = {0xBD934A77, 0x750A, 0x43DC, {0xAE, 0x12, 0x0B, 0xE7, 0xCC, 0x14, 0x4F, 0xA2}};
// IID of _DTrevanilEvents
inline constexpr GUID DIID__DTrevanilEvents = {0x15F71532, 0x1F38, 0x445E, {0x8B, 0xBE, 0xED, 0x86, 0xEE, 0x56, 0x52, 0x80}};
// CLSID of coclass Trevanil (CTrevanilCtrl)
inline constexpr GUID CLSID_Trevanil = {0xCA18BEBD, 0x91F5, 0x4CD0, {0x9B, 0xA6, 0xAB, 0xF8, 0x6E, 0x32, 0xB5, 0xBA}};
// CLSID of CTrevanilPropPage
inline constexpr GUID CLSID_TrevanilPropPage = {0xB8742271, 0x449F, 0x4515, {0xB7, 0x84, 0x0D, 0x9D, 0x31, 0x7A, 0x28, 0x0D}};

inline constexpr WORD kTrevanilLibMajor = 1;
inline constexpr WORD kTrevanilLibMinor = 0;
inline constexpr LCID kTrevanilLibLcid = 0x0409;

#define TREVANIL_PROGID L"TREVANIL.TrevanilCtrl.1"
#define TREVANIL_PPG_PROGID L"TREVANIL.TrevanilPropPage.1"

// DISPIDs of _DTrevanil and _DTrevanilEvents.
enum : LONG {
    DISPID_TREVANIL_SETLANGUE = 1,
    DISPID_TREVANIL_SETCLOSEFLAG = 1,
};
