#include "registration.h"
#include "raii.h"
#include <comcat.h>
#include <oleauto.h>
#include <cwchar>
#include <string>
#include <vector>

namespace activex {
namespace {

HRESULT SetKeyValue(const std::wstring& keyPath, const wchar_t* valueName, const std::wstring& value)
{
    UniqueHKey key;
    LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              key.put(), nullptr);
    if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
    rc = RegSetValueExW(key.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(rc);
}

HRESULT DeleteTree(const std::wstring& keyPath)
{
    LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, keyPath.c_str());
    if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) {
        rc = RegDeleteKeyW(HKEY_CLASSES_ROOT, keyPath.c_str());
        if (rc == ERROR_FILE_NOT_FOUND) rc = ERROR_SUCCESS;
    }
    return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(rc);
}

struct KeyValue {
    std::wstring key;
    const wchar_t* name;  // nullptr: the key's default value
    std::wstring value;
};

// Runs `use` with the system's component category manager.
template <class Use>
HRESULT WithCategoryManager(Use use)
{
    ComPtr<ICatRegister> manager;
    const HRESULT hr = CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_ICatRegister, manager.put_void());
    return FAILED(hr) ? hr : use(*manager.get());
}

// "{XXXXXXXX-...}" form of a GUID.
std::wstring GuidText(REFGUID guid)
{
    wchar_t text[39];
    if (StringFromGUID2(guid, text, 39) == 0) text[0] = L'\0';
    return text;
}

} // namespace

HRESULT RegisterComClass(const ClassRegistration& reg, const wchar_t* modulePath)
{
    const std::wstring clsid = GuidText(*reg.clsid);
    const std::wstring base = L"CLSID\\" + clsid;
    std::vector<KeyValue> values = {
        {base, nullptr, reg.typeName},
        {base + L"\\InprocServer32", nullptr, modulePath},
    };
    if (reg.threadingModel) values.push_back({base + L"\\InprocServer32", L"ThreadingModel", reg.threadingModel});
    if (reg.progId) {
        values.push_back({base + L"\\ProgID", nullptr, reg.progId});
        values.push_back({reg.progId, nullptr, reg.typeName});
        values.push_back({std::wstring(reg.progId) + L"\\CLSID", nullptr, clsid});
        if (reg.insertable) values.push_back({std::wstring(reg.progId) + L"\\Insertable", nullptr, L""});
    }
    if (reg.insertable) values.push_back({base + L"\\Insertable", nullptr, L""});
    if (reg.control) {
        values.push_back({base + L"\\Control", nullptr, L""});
        values.push_back({base + L"\\MiscStatus", nullptr, L"0"});
        values.push_back({base + L"\\MiscStatus\\1", nullptr, std::to_wstring(reg.miscStatus)});
        values.push_back({base + L"\\TypeLib", nullptr, GuidText(*reg.libid)});
        values.push_back({base + L"\\Version", nullptr, reg.typeLibVersion});
        values.push_back({base + L"\\ToolboxBitmap32", nullptr,
                          std::wstring(modulePath) + L", " + std::to_wstring(reg.toolboxBitmapId)});
        for (const VerbEntry& v : reg.verbs)
            values.push_back({base + L"\\Verb\\" + std::to_wstring(v.verb), nullptr, v.text});
    }
    for (const KeyValue& kv : values) {
        HRESULT hr = SetKeyValue(kv.key, kv.name, kv.value);
        if (FAILED(hr)) return hr;
    }
    if (!reg.insertable) {
        // An earlier version of the class may have been insertable: the keys describe it as it is now.
        HRESULT hr = DeleteTree(base + L"\\Insertable");
        if (SUCCEEDED(hr) && reg.progId) hr = DeleteTree(std::wstring(reg.progId) + L"\\Insertable");
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT UnregisterComClass(const ClassRegistration& reg)
{
    HRESULT hr = DeleteTree(L"CLSID\\" + GuidText(*reg.clsid));
    if (SUCCEEDED(hr) && reg.progId) hr = DeleteTree(reg.progId);
    return hr;
}

HRESULT RegisterEmbeddedTypeLib(const wchar_t* modulePath)
{
    ComPtr<ITypeLib> typeLib;
    HRESULT hr = LoadTypeLibEx(modulePath, REGKIND_NONE, typeLib.put());
    if (FAILED(hr)) return hr;
    return RegisterTypeLib(typeLib.get(), const_cast<wchar_t*>(modulePath), nullptr);
}

HRESULT UnregisterTypeLib(REFGUID libid, WORD major, WORD minor, LCID lcid)
{
    return UnRegisterTypeLib(libid, major, minor, lcid, kTypeLibSysKind);
}

HRESULT RegisterCategory(REFGUID catid, const wchar_t* description, LCID lcid)
{
    CATEGORYINFO info{};
    info.catid = catid;
    info.lcid = lcid;
    // The manager keeps at most 127 characters of a description.
    const size_t capacity = sizeof(info.szDescription) / sizeof(info.szDescription[0]);
    std::wcsncpy(info.szDescription, description, capacity - 1);
    info.szDescription[capacity - 1] = L'\0';
    return WithCategoryManager([&](ICatRegister& manager) { return manager.RegisterCategories(1, &info); });
}

HRESULT RegisterClassInCategory(REFCLSID clsid, REFGUID catid)
{
    CATID id = catid;
    return WithCategoryManager(
        [&](ICatRegister& manager) { return manager.RegisterClassImplCategories(clsid, 1, &id); });
}

HRESULT UnregisterClassFromCategory(REFCLSID clsid, REFGUID catid)
{
    // A class whose key is gone is in no category any more (Wine's manager fails then).
    UniqueHKey classKey;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, (L"CLSID\\" + GuidText(clsid)).c_str(), 0, KEY_READ, classKey.put()) !=
        ERROR_SUCCESS)
        return S_OK;
    CATID id = catid;
    return WithCategoryManager(
        [&](ICatRegister& manager) { return manager.UnRegisterClassImplCategories(clsid, 1, &id); });
}

} // namespace activex
