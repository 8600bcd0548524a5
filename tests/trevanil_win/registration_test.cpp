// trevanil.dll registered and unregistered by Wine's regsvr32: what a container looks up
// (class keys, ProgID, type library) and what the type library then tells it.
#include <windows.h>
#include <olectl.h>
#include <gtest/gtest.h>

#include "trevanil_ids.h"
#include "trevanil_test_support.h"

using namespace trevanil_test;

namespace {

std::wstring ClassKey() { return L"CLSID\\" + GuidText(CLSID_Trevanil); }
std::wstring PageKey() { return L"CLSID\\" + GuidText(CLSID_TrevanilPropPage); }
std::wstring TypeLibKey() { return L"TypeLib\\" + GuidText(LIBID_TREVANILLib) + L"\\1.0"; }

void ExpectRegistered()
{
    const std::wstring cls = ClassKey();
    EXPECT_EQ(L"Trevanil Control", KeyValue(cls));
    const std::wstring server = KeyValue(cls + L"\\InprocServer32");
    EXPECT_NE(std::wstring::npos, server.find(L"trevanil.dll")) << Utf8(server);
    EXPECT_EQ(L"Apartment", KeyValue(cls + L"\\InprocServer32", L"ThreadingModel"));
    EXPECT_EQ(TREVANIL_PROGID, KeyValue(cls + L"\\ProgID"));
    EXPECT_EQ(GuidText(CLSID_Trevanil), KeyValue(TREVANIL_PROGID L"\\CLSID"));
    EXPECT_EQ(L"131473", KeyValue(cls + L"\\MiscStatus\\1"));
    EXPECT_EQ(GuidText(LIBID_TREVANILLib), KeyValue(cls + L"\\TypeLib"));
    EXPECT_EQ(L"1.0", KeyValue(cls + L"\\Version"));
    EXPECT_TRUE(KeyExists(cls + L"\\Control"));
    // Only orvex is offered to the Insert Object lists of document containers.
    EXPECT_FALSE(KeyExists(cls + L"\\Insertable"));
    EXPECT_FALSE(KeyExists(TREVANIL_PROGID L"\\Insertable"));
    const std::wstring bitmap = KeyValue(cls + L"\\ToolboxBitmap32");
    EXPECT_NE(std::wstring::npos, bitmap.find(L"trevanil.dll")) << Utf8(bitmap);
    EXPECT_EQ(L"1", bitmap.substr(bitmap.find_last_of(L", ") + 1)) << Utf8(bitmap);
    EXPECT_TRUE(KeyExists(TypeLibKey()));
    EXPECT_EQ(L"Trevanil Property Page", KeyValue(PageKey()));
    EXPECT_NE(std::wstring::npos, KeyValue(PageKey() + L"\\InprocServer32").find(L"trevanil.dll"));
    EXPECT_EQ(TREVANIL_PPG_PROGID, KeyValue(PageKey() + L"\\ProgID"));
    EXPECT_EQ(GuidText(CLSID_TrevanilPropPage), KeyValue(TREVANIL_PPG_PROGID L"\\CLSID"));
    EXPECT_EQ(L"Trevanil Property Page", KeyValue(TREVANIL_PPG_PROGID));
}

void ExpectGone()
{
    EXPECT_FALSE(KeyExists(ClassKey()));
    EXPECT_FALSE(KeyExists(PageKey()));
    EXPECT_FALSE(KeyExists(TREVANIL_PROGID));
    EXPECT_FALSE(KeyExists(TREVANIL_PPG_PROGID));
    EXPECT_FALSE(KeyExists(TypeLibKey()));
}

// The one method or event of a dispinterface: name, DISPID and its one argument's type.
void ExpectSingleShortMethod(ITypeLib* library, const GUID& iid, const wchar_t* name)
{
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(iid, info.put())) << Utf8(name);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
    EXPECT_EQ(TKIND_DISPATCH, attr->typekind);
    const WORD functions = attr->cFuncs;
    info->ReleaseTypeAttr(attr);
    bool found = false;
    for (WORD i = 0; i < functions; ++i) {
        FUNCDESC* function = nullptr;
        ASSERT_EQ(S_OK, info->GetFuncDesc(i, &function));
        activex::UniqueBstr functionName;
        UINT names = 0;
        info->GetNames(function->memid, functionName.put(), 1, &names);
        if (wcscmp(functionName.c_str(), name) == 0) {
            found = true;
            EXPECT_EQ(1, function->memid);
            ASSERT_EQ(1, function->cParams);
            EXPECT_EQ(VT_I2, function->lprgelemdescParam[0].tdesc.vt);
        }
        info->ReleaseFuncDesc(function);
    }
    EXPECT_TRUE(found) << Utf8(name);
}

std::wstring VersionString(const std::wstring& file, const wchar_t* name, bool& present)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    std::string block(size, '\0');
    present = false;
    if (!size || !GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return {};
    void* value = nullptr;
    UINT length = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
    if (!VerQueryValueW(block.data(), query.c_str(), &value, &length)) return {};
    present = true;
    return std::wstring(static_cast<const wchar_t*>(value), length ? length - 1 : 0);
}

TEST(TrevanilRegistration, Regsvr32RegistersAndUnregistersTheControl)
{
    orvex_test::ComApartment apartment;
    // An earlier version registered the control as insertable.
    for (const std::wstring& stale : {ClassKey() + L"\\Insertable", std::wstring(TREVANIL_PROGID L"\\Insertable")}) {
        activex::UniqueHKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CLASSES_ROOT, stale.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                                 key.put(), nullptr));
    }
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(0u, Regsvr32(L"trevanil.dll", false)) << "register, round " << round;
        ExpectRegistered();
    }
    {
        // What a container learns from the registered type library.
        ComPtr<ITypeLib> library;
        ASSERT_EQ(S_OK, LoadRegTypeLib(LIBID_TREVANILLib, 1, 0, kTrevanilLibLcid, library.put()));
        ExpectSingleShortMethod(library.get(), DIID__DTrevanil, L"SetLangue");
        ExpectSingleShortMethod(library.get(), DIID__DTrevanilEvents, L"SetCloseFlag");
        CLSID clsid{};
        ASSERT_EQ(S_OK, CLSIDFromProgID(TREVANIL_PROGID, &clsid));
        EXPECT_TRUE(IsEqualCLSID(CLSID_Trevanil, clsid));
    }
    ASSERT_EQ(0u, Regsvr32(L"trevanil.dll", true)) << "unregister";
    ExpectGone();
    // Unregistering what is not registered any more fails on its first step.
    EXPECT_NE(0u, Regsvr32(L"trevanil.dll", true));
    // Registered again for the other clients.
    ASSERT_EQ(0u, Regsvr32(L"trevanil.dll", false));
    ExpectRegistered();
}

TEST(TrevanilRegistration, VersionBlockOffersSelfRegistration)
{
    const std::wstring file = orvex_test::ProgramDir() + L"trevanil.dll";
    bool present = false;
    VersionString(file, L"OLESelfRegister", present);
    EXPECT_TRUE(present);
    EXPECT_EQ(L"1.0.0.1", VersionString(file, L"FileVersion", present));
    activex::UniqueHModule module(LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module);
    // The toolbox picture the class key points at.
    EXPECT_TRUE(FindResourceW(module.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(2))) << "bitmap 1";
}

} // namespace
