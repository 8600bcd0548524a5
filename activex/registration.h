// Self-registration helpers: the class keys of a control or plain in-process class,
// the embedded type library and component categories.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include "table_view.h"

namespace activex {

struct VerbEntry {
    int verb;             // OLEIVERB_* number
    const wchar_t* text;  // "name,menu flags,verb flags"
};

struct ClassRegistration {
    const CLSID* clsid;
    const wchar_t* typeName;
    const wchar_t* progId;          // nullptr: none written
    const wchar_t* threadingModel;  // nullptr: none written
    bool control;                   // Control key, MiscStatus, TypeLib, Version, ToolboxBitmap32, Verb
    bool insertable;
    DWORD miscStatus;
    int toolboxBitmapId;
    const GUID* libid;
    const wchar_t* typeLibVersion;  // "1.0"
    TableView<VerbEntry> verbs;
};

// Writes the class's keys under HKEY_CLASSES_ROOT for the module file `modulePath`; a class
// that is not insertable loses the Insertable keys an earlier registration left.
HRESULT RegisterComClass(const ClassRegistration& reg, const wchar_t* modulePath);
// Removes the class's CLSID key and its ProgID key (absent keys are no failure).
HRESULT UnregisterComClass(const ClassRegistration& reg);

// Registers the type library embedded as resource TYPELIB 1 of `modulePath`.
HRESULT RegisterEmbeddedTypeLib(const wchar_t* modulePath);
HRESULT UnregisterTypeLib(REFGUID libid, WORD major, WORD minor, LCID lcid);
// The platform a type library of this build registers for (the 64-bit test build: win64).
inline constexpr SYSKIND kTypeLibSysKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;

// Component categories through the system's component category manager.
HRESULT RegisterCategory(REFGUID catid, const wchar_t* description, LCID lcid);
HRESULT RegisterClassInCategory(REFCLSID clsid, REFGUID catid);
HRESULT UnregisterClassFromCategory(REFCLSID clsid, REFGUID catid);

} // namespace activex
