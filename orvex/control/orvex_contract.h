/* orvex's COM contract, once: GUIDs (bare digits, see activex/guid_text.h), version, lcid,
   DISPIDs and methods. Plain preprocessor for orvex.idl (widl preprocesses it), orvex_ids.h,
   trevanil's resource script (its dialog embeds the control by CLSID) and the tests. */
#ifndef ORVEX_CONTRACT_H
#define ORVEX_CONTRACT_H
#include "../../activex/guid_text.h"

#define ORVEX_LIBID_UUID DF201C8C-655F-45AB-ACA7-463BDFA41D85       /* orvexLib */
#define ORVEX_DIID_UUID 459844E4-EF82-48D5-8853-9E59C56A04D0        /* _Dorvex */
#define ORVEX_EVENTS_DIID_UUID 35F09AE1-B0D5-4A1B-97A0-3DD5110C6E4B /* _DorvexEvents */
#define ORVEX_CLSID_UUID 84BC31C6-3E49-4826-9C7A-F4728A2BE183       /* coclass orvex */
#define ORVEX_CLSID_TEXT ACTIVEX_GUID_TEXT(ORVEX_CLSID_UUID)
#define ORVEX_PROGID_TEXT "ORVEX.orvexCtrl.1"
#define ORVEX_LIB_MAJOR 1
#define ORVEX_LIB_MINOR 0
#define ORVEX_LIB_LCID 0x0409

/* _Dorvex */
#define ORVEX_DISPID_WRITEPU 1
#define ORVEX_DISPID_CONNECT 2
#define ORVEX_DISPID_DISCONNECT 3
#define ORVEX_DISPID_ISUSEDOMAIN 4
/* _DorvexEvents */
#define ORVEX_DISPID_PUERROROUT 1

/* _Dorvex's methods in order, ORVEX_METHOD(dispid, result, name, (parameters)) in types IDL
   and C++ share: orvex.idl and the dispatch table are made from them. -552: DISPID_ABOUTBOX. */
#define ORVEX_METHODS \
    ORVEX_METHOD(-552, void, AboutBox, ()) \
    ORVEX_METHOD(ORVEX_DISPID_WRITEPU, long, WritePu, (BSTR puIp, unsigned long puPort, BSTR platIp, \
                 unsigned long platPort, BSTR puID, BSTR newDevName, BSTR puNewIp)) \
    ORVEX_METHOD(ORVEX_DISPID_CONNECT, long, Connect, (BSTR Ip, unsigned long port, BSTR userName, BSTR password)) \
    ORVEX_METHOD(ORVEX_DISPID_DISCONNECT, long, DisConnect, (long puHandle)) \
    ORVEX_METHOD(ORVEX_DISPID_ISUSEDOMAIN, long, IsUseDomain, (long puHandle))

#endif
