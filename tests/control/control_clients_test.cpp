// The control with clients we did not write: Wine's regsvr32, cscript (VBScript and
// JScript) and atl.dll's AtlAxWin container.
#include <gtest/gtest.h>
#include <olectl.h>

#include <memory>
#include <string>
#include "orvex/control/orvex_contract.h"
#include "activex/registration.h"
#include "com_test_support.h"

using namespace orvex_test;

namespace {

const wchar_t kClsid[] = L"" ORVEX_CLSID_TEXT;
const wchar_t kLibid[] = L"{DF201C8C-655F-45AB-ACA7-463BDFA41D85}";
const wchar_t kSafeScripting[] = L"{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
const wchar_t kSafeInit[] = L"{7DD95802-9882-11CF-9FA9-00AA006C42C4}";

bool KeyExists(const std::wstring& path)
{
    activex::UniqueHKey key;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

std::wstring KeyValue(const std::wstring& path, const wchar_t* name = nullptr)
{
    wchar_t value[512] = L"";
    DWORD size = sizeof(value) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return value;
}

std::wstring ModulePath() { return ProgramDir() + L"orvex.dll"; }

DWORD Regsvr32(bool unregister)
{
    return RunProgram(std::wstring(L"regsvr32.exe /s ") + (unregister ? L"/u " : L"") + L"\"" + ModulePath() + L"\"",
                      ProgramDir() + L"regsvr32.txt");
}

void ExpectRegistered()
{
    const std::wstring cls = std::wstring(L"CLSID\\") + kClsid;
    EXPECT_EQ(L"orvex Control", KeyValue(cls));
    const std::wstring server = KeyValue(cls + L"\\InprocServer32");
    EXPECT_NE(std::wstring::npos, server.find(L"orvex.dll")) << server.c_str();
    EXPECT_EQ(L"Apartment", KeyValue(cls + L"\\InprocServer32", L"ThreadingModel"));
    EXPECT_EQ(L"ORVEX.orvexCtrl.1", KeyValue(cls + L"\\ProgID"));
    EXPECT_EQ(kClsid, KeyValue(L"ORVEX.orvexCtrl.1\\CLSID"));
    EXPECT_EQ(L"131473", KeyValue(cls + L"\\MiscStatus\\1"));
    EXPECT_EQ(kLibid, KeyValue(cls + L"\\TypeLib"));
    EXPECT_EQ(L"1.0", KeyValue(cls + L"\\Version"));
    EXPECT_TRUE(KeyExists(cls + L"\\Control"));
    EXPECT_TRUE(KeyExists(cls + L"\\Insertable"));
    EXPECT_TRUE(KeyExists(cls + L"\\ToolboxBitmap32"));
    EXPECT_TRUE(KeyExists(cls + L"\\Verb\\0"));
    EXPECT_TRUE(KeyExists(std::wstring(L"TypeLib\\") + kLibid + L"\\1.0"));
    EXPECT_TRUE(KeyExists(cls + L"\\Implemented Categories\\" + kSafeScripting));
    EXPECT_TRUE(KeyExists(cls + L"\\Implemented Categories\\" + kSafeInit));
    EXPECT_EQ(L"orvex Property Page",
              KeyValue(L"CLSID\\{D0713758-8004-4A78-AC8A-5C40FC27DC37}"));
    EXPECT_EQ(L"<missing>", KeyValue(L"CLSID\\{D0713758-8004-4A78-AC8A-5C40FC27DC37}\\InprocServer32",
                                     L"ThreadingModel"));
}

void ExpectCategoriesKept()
{
    EXPECT_EQ(L" Controls safely scriptable! ",
              KeyValue(std::wstring(L"Component Categories\\") + kSafeScripting, L"409"));
    EXPECT_EQ(L" Controls safely initializable from persistent data! ",
              KeyValue(std::wstring(L"Component Categories\\") + kSafeInit, L"409"));
}

TEST(Clients, Regsvr32RegistersAndUnregistersTwice)
{
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(0u, Regsvr32(false)) << "register, round " << round;
        ExpectRegistered();
        ExpectCategoriesKept();
    }
    EXPECT_EQ(0u, Regsvr32(false));
    EXPECT_EQ(0u, Regsvr32(true)) << "unregister";
    const std::wstring cls = std::wstring(L"CLSID\\") + kClsid;
    EXPECT_FALSE(KeyExists(cls));
    EXPECT_FALSE(KeyExists(L"ORVEX.orvexCtrl.1"));
    EXPECT_FALSE(KeyExists(std::wstring(L"TypeLib\\") + kLibid + L"\\1.0"));
    ExpectCategoriesKept();
    // Registered again for the other clients.
    EXPECT_EQ(0u, Regsvr32(false));
    EXPECT_EQ(0u, Regsvr32(true));
    EXPECT_FALSE(KeyExists(cls));
    EXPECT_EQ(0u, Regsvr32(false));
    ExpectRegistered();
}

using EntryPoint = HRESULT(WINAPI*)();
EntryPoint Entry(HMODULE module, const char* name)
{
    return reinterpret_cast<EntryPoint>(GetProcAddress(module, name));
}

std::wstring ClassKey() { return std::wstring(L"CLSID\\") + kClsid; }
std::wstring TypeLibKey() { return std::wstring(L"TypeLib\\") + kLibid + L"\\1.0"; }

GUID Guid(const wchar_t* text)
{
    GUID guid{};
    IIDFromString(text, &guid);
    return guid;
}

// A resource update that is discarded unless it is ended explicitly.
struct DiscardUpdate {
    void operator()(HANDLE update) const { EndUpdateResourceW(update, TRUE); }
};
using UniqueResourceUpdate = std::unique_ptr<void, DiscardUpdate>;

void DeleteClassKey()
{
    RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey().c_str());
    RegDeleteKeyW(HKEY_CLASSES_ROOT, ClassKey().c_str());
}

TEST(Clients, TypeLibraryFailuresComeFirstWithTheirCode)
{
    ASSERT_EQ(0u, Regsvr32(false));
    ComApartment apartment;
    // A copy of the module whose TYPELIB resource is no type library registers nothing.
    const std::wstring dir = ProgramDir() + L"notlb\\";
    const std::wstring copy = dir + L"orvex_notlb.dll";
    CreateDirectoryW(dir.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(ModulePath().c_str(), copy.c_str(), FALSE));
    CopyFileW((ProgramDir() + L"halcyra.dll").c_str(), (dir + L"halcyra.dll").c_str(), FALSE);
    {
        UniqueResourceUpdate update(BeginUpdateResourceW(copy.c_str(), FALSE));
        ASSERT_TRUE(update);
        char junk[] = "not a type library";
        ASSERT_TRUE(UpdateResourceW(update.get(), L"TYPELIB", MAKEINTRESOURCEW(1),
                                    MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), junk, sizeof(junk)));
        ASSERT_TRUE(EndUpdateResourceW(update.release(), FALSE));
    }
    {
        activex::UniqueHModule module(LoadLibraryW(copy.c_str()));
        ASSERT_TRUE(module);
        HRSRC typeLib = FindResourceW(module.get(), MAKEINTRESOURCEW(1), L"TYPELIB");
        ASSERT_TRUE(typeLib);
        ASSERT_EQ(sizeof("not a type library"), SizeofResource(module.get(), typeLib));
        EXPECT_EQ(SELFREG_E_TYPELIB, Entry(module.get(), "DllRegisterServer")());
        const std::wstring server = KeyValue(ClassKey() + L"\\InprocServer32");
        EXPECT_EQ(std::wstring::npos, server.find(L"orvex_notlb")) << "no class step after the failure";
    }
    // Unregistering goes by the library's id: when that is not registered, the first step
    // fails and the class keys stay.
    ASSERT_EQ(S_OK, UnRegisterTypeLib(Guid(kLibid), 1, 0, 0x0409, activex::kTypeLibSysKind));
    EXPECT_EQ(SELFREG_E_TYPELIB, Entry(OrvexModule(), "DllUnregisterServer")());
    EXPECT_EQ(L"orvex Control", KeyValue(ClassKey()));
    EXPECT_EQ(0u, Regsvr32(false));
    ExpectRegistered();
}

// Class keys that cannot be written or removed: a volatile class key takes no lasting
// subkeys, and a registry link below it stops its tree from being deleted.
TEST(Clients, ClassKeyFailuresComeAfterTheTypeLibraryWithTheirCode)
{
    ComApartment apartment;
    EntryPoint registerServer = Entry(OrvexModule(), "DllRegisterServer");
    EntryPoint unregisterServer = Entry(OrvexModule(), "DllUnregisterServer");
    ASSERT_TRUE(registerServer && unregisterServer);
    DeleteClassKey();
    {
        activex::UniqueHKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CLASSES_ROOT, ClassKey().c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                                 KEY_WRITE, nullptr, key.put(), nullptr));
    }
    EXPECT_EQ(SELFREG_E_CLASS, registerServer());
    EXPECT_TRUE(KeyExists(TypeLibKey())) << "the type library is registered before the classes";
    DeleteClassKey();
    ASSERT_EQ(S_OK, registerServer());

    const std::wstring link = ClassKey() + L"\\Pinned";
    {
        activex::UniqueHKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CLASSES_ROOT, link.c_str(), 0, nullptr,
                                                 REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                                 key.put(), nullptr));
        const wchar_t target[] = L"\\Registry\\Machine\\Software\\OrvexNoSuchKey";
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.get(), L"SymbolicLinkValue", 0, REG_LINK,
                                                reinterpret_cast<const BYTE*>(target), sizeof(target) - sizeof(wchar_t)));
    }
    EXPECT_EQ(SELFREG_E_CLASS, unregisterServer());
    EXPECT_FALSE(KeyExists(TypeLibKey())) << "the type library is unregistered before the classes";
    {
        activex::UniqueHKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CLASSES_ROOT, link.c_str(), REG_OPTION_OPEN_LINK,
                                               DELETE | KEY_READ, key.put()));
        using DeleteKeyFn = LONG(WINAPI*)(HANDLE);
        auto deleteKey = reinterpret_cast<DeleteKeyFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey")));
        ASSERT_TRUE(deleteKey);
        ASSERT_EQ(0, deleteKey(key.get()));
    }
    EXPECT_EQ(S_OK, registerServer());
    ExpectRegistered();
}

TEST(Clients, ScriptsCreateTheControlByProgId)
{
    ASSERT_EQ(0u, Regsvr32(false));
    DeviceStore store("store_script.ini");
    ASSERT_EQ(0, store.Run({"add", "10.6.0.1", "--protocol", "old"}));
    struct Script { const wchar_t* file; const char* text; };
    const Script scripts[] = {
        {L"client.vbs",
         "Set o = CreateObject(\"ORVEX.orvexCtrl.1\")\r\n"
         "WScript.Echo \"DisConnect=\" & o.DisConnect(77)\r\n"
         "WScript.Echo \"Connect=\" & o.Connect(\"10.6.0.1\", -1, \"admin\", \"\")\r\n"
         "WScript.Echo \"Bad=\" & o.WritePu(\"10.6.0.99\", 5510, \"10.2.0.1\", 6000, \"PU\", \"n\", \"10.6.0.99\")\r\n"
         "WScript.Echo \"BadPort=\" & o.WritePu(\"10.6.0.1\", 5510, \"10.2.0.1\", -1, \"PU\", \"n\", \"10.6.0.1\")\r\n"
         "WScript.Echo \"BadIp=\" & o.WritePu(\"10.6.0.1\", 5510, \"10.2.0.1\", 6000, \"PU\", \"n\", \"10.6.0.x\")\r\n"
         "WScript.Echo \"Good=\" & o.WritePu(\"10.6.0.1\", 5510, \"10.2.0.1\", 6000, \"PUVBS\", \"vbs\", \"10.6.0.1\")\r\n"
         "WScript.Echo \"SENTINEL-END\"\r\n"},
        {L"client.js",
         "var o = new ActiveXObject(\"ORVEX.orvexCtrl.1\");\r\n"
         "WScript.Echo(\"DisConnect=\" + o.DisConnect(77));\r\n"
         "WScript.Echo(\"Connect=\" + o.Connect(\"10.6.0.1\", 5510, \"admin\", \"\"));\r\n"
         "WScript.Echo(\"Bad=\" + o.WritePu(\"10.6.0.99\", 5510, \"10.2.0.1\", 6000, \"PU\", \"n\", \"10.6.0.99\"));\r\n"
         "WScript.Echo(\"BadPort=\" + o.WritePu(\"10.6.0.1\", 70000, \"10.2.0.1\", 6000, \"PU\", \"n\", \"10.6.0.1\"));\r\n"
         "WScript.Echo(\"BadIp=\" + o.WritePu(\"10.6.0.1\", 5510, \"10.2.0.1\", 6000, \"PU\", \"n\", \"010.6.0.1.\"));\r\n"
         "WScript.Echo(\"Good=\" + o.WritePu(\"10.6.0.1\", 5510, \"10.2.0.1\", 6001, \"PUJS\", \"js\", \"10.6.0.1\"));\r\n"
         "WScript.Echo(\"SENTINEL-END\");\r\n"},
    };
    for (const Script& script : scripts) {
        const std::wstring path = ProgramDir() + script.file;
        {
            activex::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                       FILE_ATTRIBUTE_NORMAL, nullptr));
            DWORD written = 0;
            WriteFile(file.get(), script.text, static_cast<DWORD>(strlen(script.text)), &written, nullptr);
        }
        const std::wstring output = path + L".out";
        RunProgram(L"cscript.exe //nologo \"" + path + L"\"", output);
        const std::string text = ReadFileText(output);
        EXPECT_NE(std::string::npos, text.find("DisConnect=0")) << text;
        EXPECT_NE(std::string::npos, text.find("Connect=0")) << text;
        EXPECT_NE(std::string::npos, text.find("Bad=0")) << text;
        EXPECT_NE(std::string::npos, text.find("BadPort=0")) << text;
        EXPECT_NE(std::string::npos, text.find("BadIp=0")) << text;
        EXPECT_NE(std::string::npos, text.find("Good=1")) << text;
        EXPECT_NE(std::string::npos, text.find("SENTINEL-END")) << text;
    }
    EXPECT_EQ("PUJS", store.Field("10.6.0.1", "pu_id"));
    EXPECT_EQ("6001", store.Field("10.6.0.1", "platform_port"));
    EXPECT_EQ(2, store.Logins("10.6.0.1")) << "one login per script: none for the refused writes";
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd, msg, wp, lp); }

struct OwnedCount {
    HWND owner;
    int windows;
};

BOOL CALLBACK CountOwned(HWND window, LPARAM state)
{
    auto* count = reinterpret_cast<OwnedCount*>(state);
    if (GetWindow(window, GW_OWNER) == count->owner) ++count->windows;
    return TRUE;
}

// Windows of this thread that `owner` owns (the control's hidden login window is one).
int WindowsOwnedBy(HWND owner)
{
    OwnedCount count{owner, 0};
    EnumThreadWindows(GetCurrentThreadId(), &CountOwned, reinterpret_cast<LPARAM>(&count));
    return count.windows;
}

TEST(Clients, AtlAxWinHostsTheControlByProgIdAndClsid)
{
    ASSERT_EQ(0u, Regsvr32(false));
    ComApartment apartment;
    activex::UniqueHModule atl(LoadLibraryW(L"atl.dll"));
    ASSERT_TRUE(atl);
    using InitFn = BOOL(WINAPI*)();
    using GetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);
    auto init = reinterpret_cast<InitFn>(GetProcAddress(atl.get(), "AtlAxWinInit"));
    auto getControl = reinterpret_cast<GetControlFn>(reinterpret_cast<void*>(GetProcAddress(atl.get(), "AtlAxGetControl")));
    ASSERT_TRUE(init && getControl);
    ASSERT_TRUE(init());
    WNDCLASSW frameClass{};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = GetModuleHandleW(nullptr);
    frameClass.lpszClassName = L"OrvexTestFrame";
    RegisterClassW(&frameClass);
    HWND frame = CreateWindowExW(0, L"OrvexTestFrame", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(frame);
    for (const std::wstring& name : {std::wstring(L"ORVEX.orvexCtrl.1"), std::wstring(kClsid)}) {
        HWND host = CreateWindowExW(0, L"AtlAxWin", name.c_str(), WS_CHILD | WS_VISIBLE, 5, 5, 60, 30, frame,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(host) << "AtlAxWin " << name.size();
        ComPtr<IUnknown> unknown;
        ASSERT_EQ(S_OK, getControl(host, unknown.put()));
        ComPtr<IDispatch> control;
        ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IDispatch, control.put_void()));
        EventRecorder sink(control.get());
        EXPECT_EQ(S_OK, Call(control.get(), 3, {5}).hr);
        ASSERT_EQ(1u, sink.events.size());
        EXPECT_EQ(45, sink.events[0].code);

        ComPtr<IOleWindow> window;
        ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IOleWindow, window.put_void()));
        HWND controlWindow = nullptr;
        ASSERT_EQ(S_OK, window->GetWindow(&controlWindow)) << "in-place active";
        wchar_t className[64] = L"";
        GetClassNameW(controlWindow, className, 64);
        EXPECT_EQ(0, _wcsicmp(L"Button", className));
        EXPECT_EQ(host, GetParent(controlWindow));
        EXPECT_EQ(1, WindowsOwnedBy(frame)) << "the control's hidden login window";
        DestroyWindow(host);
        // It goes with its control, not with the host's window, which may outlive the module.
        EXPECT_EQ(0, WindowsOwnedBy(frame));
    }
    DestroyWindow(frame);
}

} // namespace
