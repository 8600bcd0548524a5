/* The parts of orvex's COM contract that other code names: the control's CLSID as text
   and the DISPIDs. Plain preprocessor definitions, so that the C++ code, the resource
   scripts (trevanil's dialog embeds the control by this CLSID) and the tests all read
   them from here. orvex.idl states the same values for the type library; the type
   library tests compare the two. */
#ifndef ORVEX_CONTRACT_H
#define ORVEX_CONTRACT_H

#define ORVEX_CLSID_TEXT "{84BC31C6-3E49-4826-9C7A-F4728A2BE183}"
#define ORVEX_PROGID_TEXT "ORVEX.orvexCtrl.1"

/* _Dorvex */
#define ORVEX_DISPID_WRITEPU 1
#define ORVEX_DISPID_CONNECT 2
#define ORVEX_DISPID_DISCONNECT 3
#define ORVEX_DISPID_ISUSEDOMAIN 4
/* _DorvexEvents */
#define ORVEX_DISPID_PUERROROUT 1

#endif
