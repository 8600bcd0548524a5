// The batch control's COM contract, once: GUIDs (bare digits, see activex/guid_text.h), the
// type library's version and locale, DISPIDs and methods, as for orvex (orvex_contract.h).
// trevanil.idl reads the preprocessor part, the C++ code also the constants made from it.
#ifndef TREVANIL_IDS_H
#define TREVANIL_IDS_H
#include "../../activex/guid_text.h"

#define TREVANIL_LIBID_UUID C49D8035-CD34-44FA-BFE1-D7C5A7D7DF8F       // TREVANILLib
#define TREVANIL_DIID_UUID BD934A77-750A-43DC-AE12-0BE7CC144FA2        // _DTrevanil
#define TREVANIL_EVENTS_DIID_UUID 15F71532-1F38-445E-8BBE-ED86EE565280 // _DTrevanilEvents
#define TREVANIL_CLSID_UUID CA18BEBD-91F5-4CD0-9BA6-ABF86E32B5BA       // coclass Trevanil
#define TREVANIL_LIB_MAJOR 1
#define TREVANIL_LIB_MINOR 0
#define TREVANIL_LIB_LCID 0x0409

#define DISPID_TREVANIL_SETLANGUE 1    // _DTrevanil
#define DISPID_TREVANIL_SETCLOSEFLAG 1 // _DTrevanilEvents
#define TREVANIL_METHODS TREVANIL_METHOD(DISPID_TREVANIL_SETLANGUE, void, SetLangue, (short nLangueType))

#ifdef __cplusplus
#include <windows.h>

inline constexpr GUID LIBID_TREVANILLib = activex::GuidFromText(ACTIVEX_GUID_TEXT(TREVANIL_LIBID_UUID));
inline constexpr GUID DIID__DTrevanil = activex::GuidFromText(ACTIVEX_GUID_TEXT(TREVANIL_DIID_UUID));
inline constexpr GUID DIID__DTrevanilEvents = activex::GuidFromText(ACTIVEX_GUID_TEXT(TREVANIL_EVENTS_DIID_UUID));
inline constexpr GUID CLSID_Trevanil = activex::GuidFromText(ACTIVEX_GUID_TEXT(TREVANIL_CLSID_UUID));
// CLSID of CTrevanilPropPage (not in the type library)
inline constexpr GUID CLSID_TrevanilPropPage = {0xB8742271, 0x449F, 0x4515, {0xB7, 0x84, 0x0D, 0x9D, 0x31, 0x7A, 0x28, 0x0D}};

inline constexpr WORD kTrevanilLibMajor = TREVANIL_LIB_MAJOR;
inline constexpr WORD kTrevanilLibMinor = TREVANIL_LIB_MINOR;
inline constexpr LCID kTrevanilLibLcid = TREVANIL_LIB_LCID;

#define TREVANIL_PROGID L"TREVANIL.TrevanilCtrl.1"
#define TREVANIL_PPG_PROGID L"TREVANIL.TrevanilPropPage.1"
#endif
#endif
