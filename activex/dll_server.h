// One control module's COM server: the classes it makes, how it registers its control,
// property page and type library, and its four Dll* entry points (dll_server.cpp), which
// every control module exports the same way. A module describes itself once, in the file
// where its parts are wired together, by defining ThisServer().
#pragma once
#include <windows.h>
#include <olectl.h>
#include "class_factory.h"
#include "registration.h"
#include "table_view.h"

namespace activex {

struct ServerDescription {
    HMODULE (*module)();            // the module's own handle
    TableView<ClassEntry> classes;  // what DllGetClassObject makes
    // The control, as registered: its type name is string resource `controlNameId`.
    const CLSID* controlClsid;
    UINT controlNameId;
    const wchar_t* controlProgId;
    bool insertable;
    int toolboxBitmapId;
    TableView<VerbEntry> verbs;
    // Its property page (no ProgID when null).
    const CLSID* pageClsid;
    UINT pageNameId;
    const wchar_t* pageProgId;
    // The type library embedded as TYPELIB 1.
    const GUID* libid;
    WORD libMajor;
    WORD libMinor;
    LCID libLcid;
    const wchar_t* libVersionText;  // "1.0": ACTIVEX_VERSION_TEXT
    // The module's own steps after the classes (null: none); HRESULTs as they come.
    HRESULT (*registerMore)();
    HRESULT (*unregisterMore)();
};

// The verbs both our controls register: Edit (the primary verb) and Properties.
inline constexpr VerbEntry kStandardControlVerbs[] = {
    {OLEIVERB_PRIMARY, L"&Edit,0,2"},
    {OLEIVERB_PROPERTIES, L"&Properties...,0,2"},
};

// Defined by each control module.
const ServerDescription& ThisServer();

// Registration as DllRegisterServer does it: the type library (SELFREG_E_TYPELIB), the
// control and its page (SELFREG_E_CLASS), then the module's own steps.
HRESULT RegisterServer(const ServerDescription& server);
// The reverse: the type library, the two classes, the module's own steps.
HRESULT UnregisterServer(const ServerDescription& server);

} // namespace activex
