// The control through COM as a host uses it: dispatch, coercion, events, safety,
// class information, and writes to simulated devices end to end.
#include <gtest/gtest.h>
#include <objsafe.h>
#include <olectl.h>

#include <cstdlib>
#include <string>

#include "orvex/control/orvex_contract.h"
#include "com_test_support.h"

using namespace orvex_test;

namespace {

constexpr DISPID kWritePu = ORVEX_DISPID_WRITEPU, kConnect = ORVEX_DISPID_CONNECT,
                 kDisConnect = ORVEX_DISPID_DISCONNECT, kIsUseDomain = ORVEX_DISPID_ISUSEDOMAIN;
// Restarts come this long after a write (the shipped five seconds would only slow the tests).
constexpr long kTestReRootDelayMs = 200;
// How long a test waits for something that is due within a second or so.
constexpr DWORD kPatienceMs = 15000;

// The day's log from `from` on: what this test and, in parallel, other tests added.
std::string LogSince(size_t from)
{
    const std::string log = ReadFileText(TodaysLogPath());
    return from < log.size() ? log.substr(from) : std::string();
}

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        logStart = ReadFileText(TodaysLogPath()).size();
        control = CreateControl();
        ASSERT_TRUE(control) << "orvex.dll beside the test program";
        ASSERT_TRUE(SetReRootDelay(kTestReRootDelayMs)) << "the tests' build of orvex.dll";
    }
    ComApartment apartment;
    size_t logStart = 0;
    ComPtr<IDispatch> control;
};

// ---- dispatch ----

TEST_F(ControlTest, NamesResolveThroughTheTypeLibrary)
{
    const wchar_t* names[] = {L"WritePu", L"Connect", L"DisConnect", L"IsUseDomain", L"AboutBox"};
    const DISPID expected[] = {1, 2, 3, 4, DISPID_ABOUTBOX};
    for (int i = 0; i < 5; ++i) {
        LPOLESTR name = const_cast<LPOLESTR>(names[i]);
        DISPID id = 0;
        EXPECT_EQ(S_OK, control->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id)) << i;
        EXPECT_EQ(expected[i], id);
    }
    LPOLESTR unknown = const_cast<LPOLESTR>(L"Reboot");
    DISPID id = 0;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, control->GetIDsOfNames(IID_NULL, &unknown, 1, LOCALE_USER_DEFAULT, &id));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Call(control.get(), 99, {}).hr);
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Call(control.get(), 0, {}).hr);
}

TEST_F(ControlTest, ArgumentsAreCheckedAndCoerced)
{
    EventRecorder sink(control.get());
    EXPECT_EQ(DISP_E_PARAMNOTFOUND, Call(control.get(), kDisConnect, {}).hr);
    EXPECT_EQ(DISP_E_PARAMNOTFOUND, Call(control.get(), kWritePu, {L"1.2.3.4", 5510, L"1.2.3.5"}).hr);
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(control.get(), kDisConnect, {1, 2}).hr);
    CallResult mismatch = Call(control.get(), kDisConnect, {L"abc"});
    EXPECT_EQ(DISP_E_TYPEMISMATCH, mismatch.hr);
    EXPECT_EQ(0u, mismatch.argErr);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(control.get(), kConnect, {L"ip", L"port", L"u", L"p"}).hr);
    EXPECT_TRUE(sink.events.empty()) << "a refused call runs nothing";

    // Signed and narrow ports (VBScript passes -1 as VT_I2), numeric text and a null BSTR are accepted.
    EXPECT_EQ(S_OK, Call(control.get(), kConnect, {L"ip", Arg::Short(-1), L"u", nullptr}).hr);
    EXPECT_EQ(S_OK, Call(control.get(), kConnect, {L"ip", L"5510", L"u", L"p"}).hr);
    EXPECT_EQ(S_OK, Call(control.get(), kConnect, {L"ip", Arg::Double(4294967295.0), L"u", L"p"}).hr);
    CallResult connect = Call(control.get(), kConnect, {nullptr, -5, nullptr, nullptr});
    EXPECT_EQ(S_OK, connect.hr);
    EXPECT_EQ(0, connect.value);
    EXPECT_TRUE(sink.events.empty());
}

// ---- events ----

TEST_F(ControlTest, UnknownPuIdFiresCode45WithEmptyText)
{
    EventRecorder sink(control.get());
    CallResult disconnect = Call(control.get(), kDisConnect, {12345});
    EXPECT_EQ(S_OK, disconnect.hr);
    EXPECT_EQ(0, disconnect.value);
    CallResult domain = Call(control.get(), kIsUseDomain, {Arg::Short(7)});
    EXPECT_EQ(0, domain.value);
    ASSERT_EQ(2u, sink.events.size());
    for (const Event& e : sink.events) {
        EXPECT_EQ(45, e.code);
        EXPECT_EQ(L"", e.text);
    }
}

TEST_F(ControlTest, EveryAdvisedSinkReceivesTheEventUntilUnadvised)
{
    auto second = std::make_unique<EventRecorder>(control.get());
    EventRecorder first(control.get());
    Call(control.get(), kDisConnect, {1});
    EXPECT_EQ(1u, first.events.size());
    EXPECT_EQ(1u, second->events.size());
    second.reset();
    Call(control.get(), kDisConnect, {2});
    EXPECT_EQ(2u, first.events.size());
}

TEST_F(ControlTest, BadTextsAndPortsAreRefusedBeforeAnyLogin)
{
    DeviceStore store("store_bad_arguments.ini");
    ASSERT_EQ(0, store.Run({"add", "10.9.0.1", "--protocol", "old"}));
    ASSERT_EQ(0, store.Run({"add", "10.9.0.2", "--protocol", "new", "--user", "admin", "--password", "pw"}));
    EventRecorder sink(control.get());
    const std::wstring ip32(32, L'1'), id33(33, L'9'), name64(22, L'\x4E1C');  // 22 x 3 UTF-8 bytes = 66
    constexpr long kSize = -2, kIpText = 72;
    const wchar_t* const kDevice = nullptr;  // stands for the device's own address
    struct Case {
        const wchar_t* puIp; long puPort; const wchar_t* platIp; long platPort; const wchar_t* puID;
        const wchar_t* name; const wchar_t* newIp; long code;
    };
    const Case cases[] = {
        // texts that do not fit their buffers
        {ip32.c_str(), 5510, L"10.0.0.1", 6000, L"PU1", L"n", kDevice, kSize},
        {kDevice, 5510, ip32.c_str(), 6000, L"PU1", L"n", kDevice, kSize},
        {kDevice, 5510, L"10.0.0.1", 6000, id33.c_str(), L"n", kDevice, kSize},
        {kDevice, 5510, L"10.0.0.1", 6000, L"PU1", name64.c_str(), kDevice, kSize},
        {kDevice, 5510, L"10.0.0.1", 6000, L"PU1", L"n", id33.c_str(), kSize},
        // address texts that are not four decimal numbers 0-255
        {L"abc", 5510, L"10.0.0.1", 6000, L"PU1", L"n", kDevice, kIpText},
        {L"10.9.0", 5510, L"10.0.0.1", 6000, L"PU1", L"n", kDevice, kIpText},
        {kDevice, 5510, L"10.0.0.256", 6000, L"PU1", L"n", kDevice, kIpText},
        {kDevice, 5510, L"", 6000, L"PU1", L"n", kDevice, kIpText},
        {kDevice, 5510, L"10.0.0.1", 6000, L"PU1", L"n", L"10.9.0.1.1", kIpText},
        {kDevice, 5510, L"10.0.0.1", 6000, L"PU1", L"n", L"0x0A.9.0.1", kIpText},
        // ports above 65535; -1 arrives as 0xFFFFFFFF
        {kDevice, 70000, L"10.0.0.1", 6000, L"PU1", L"n", kDevice, kSize},
        {kDevice, 5510, L"10.0.0.1", 70000, L"PU1", L"n", kDevice, kSize},
        {kDevice, 5510, L"10.0.0.1", 65536, L"PU1", L"n", kDevice, kSize},
        {kDevice, 5510, L"10.0.0.1", -1, L"PU1", L"n", kDevice, kSize},
        {kDevice, -1, L"10.0.0.1", 6000, L"PU1", L"n", kDevice, kSize},
    };
    for (const wchar_t* device : {L"10.9.0.1", L"10.9.0.2"}) {
        for (const Case& c : cases) {
            sink.events.clear();
            Call(control.get(), kConnect, {device, 5510, L"admin", L"pw"});  // no login dialog either way
            CallResult r = Call(control.get(), kWritePu,
                                {c.puIp ? c.puIp : device, c.puPort, c.platIp, c.platPort, c.puID, c.name,
                                 c.newIp ? c.newIp : device});
            EXPECT_EQ(S_OK, r.hr);
            EXPECT_EQ(0, r.value);
            ASSERT_EQ(1u, sink.events.size());
            EXPECT_EQ(c.code, sink.events[0].code) << &c - cases;
            EXPECT_EQ(c.code == kSize ? L"\x5927\x5C0F\x4E0D\x6B63\x786E"     // 大小不正确
                                      : L"IP\x5730\x5740\x683C\x5F0F\x9519\x8BEF",  // IP地址格式错误
                      sink.events[0].text);
        }
    }
    for (const char* device : {"10.9.0.1", "10.9.0.2"}) {
        EXPECT_EQ(0, store.Logins(device)) << device << ": refused before any login";
        EXPECT_NE("10.0.0.1", store.Field(device, "platform_ip")) << device;
    }

    // The highest port is written whole; leading zeros are decimal.
    sink.events.clear();
    EXPECT_EQ(1, Call(control.get(), kWritePu,
                      {L"10.9.0.1", 5510, L"010.002.000.009", 65535, L"PU1", L"n", L"10.9.0.1"}).value);
    EXPECT_TRUE(sink.events.empty());
    EXPECT_EQ("10.2.0.9", store.Field("10.9.0.1", "platform_ip"));
    EXPECT_EQ("65535", store.Field("10.9.0.1", "platform_port"));
}

// ---- safety and class information ----

TEST_F(ControlTest, ObjectSafetyAnswersByInterface)
{
    ComPtr<IObjectSafety> safety;
    ASSERT_EQ(S_OK, control->QueryInterface(IID_IObjectSafety, safety.put_void()));
    struct Case { const IID* iid; HRESULT hr; DWORD enabled; };
    const Case cases[] = {
        {&IID_IDispatch, S_OK, 1},          {&IID_IPersistStreamInit, S_OK, 2},
        {&IID_IPersistPropertyBag, S_OK, 2}, {&IID_IPersistStorage, E_NOINTERFACE, 0},
        {&IID_IOleObject, E_NOINTERFACE, 0}, {&IID_IStream, E_NOINTERFACE, 0},
    };
    for (const Case& c : cases) {
        DWORD supported = 0, enabled = 9;
        EXPECT_EQ(c.hr, safety->GetInterfaceSafetyOptions(*c.iid, &supported, &enabled));
        EXPECT_EQ(3u, supported);
        EXPECT_EQ(c.enabled, enabled);
    }
    DWORD value = 0;
    EXPECT_EQ(E_POINTER, safety->GetInterfaceSafetyOptions(IID_IDispatch, nullptr, &value));
    EXPECT_EQ(E_FAIL, safety->SetInterfaceSafetyOptions(IID_IDispatch, 3, 3));
    EXPECT_EQ(S_OK, safety->SetInterfaceSafetyOptions(IID_IDispatch, 1, 1));
    EXPECT_EQ(E_FAIL, safety->SetInterfaceSafetyOptions(IID_IDispatch, 2, 2));
    EXPECT_EQ(S_OK, safety->SetInterfaceSafetyOptions(IID_IPersistStreamInit, 2, 2));
    EXPECT_EQ(E_FAIL, safety->SetInterfaceSafetyOptions(IID_IPersistStorage, 2, 2));
    EXPECT_EQ(S_OK, safety->SetInterfaceSafetyOptions(IID_IStream, 0, 0));
    EXPECT_EQ(E_FAIL, safety->SetInterfaceSafetyOptions(IID_IStream, 1, 1));
}

TEST_F(ControlTest, ClassInfoNamesTheEventInterfaceAndCoclass)
{
    ComPtr<IProvideClassInfo2> info;
    ASSERT_EQ(S_OK, control->QueryInterface(IID_IProvideClassInfo2, info.put_void()));
    GUID events{};
    ASSERT_EQ(S_OK, info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events));
    wchar_t text[39];
    StringFromGUID2(events, text, 39);
    EXPECT_STREQ(L"{35F09AE1-B0D5-4A1B-97A0-3DD5110C6E4B}", text);
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(S_OK, info->GetClassInfo(coclass.put()));
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, coclass->GetTypeAttr(&attr));
    EXPECT_EQ(TKIND_COCLASS, attr->typekind);
    EXPECT_EQ(2, attr->cImplTypes);
    coclass->ReleaseTypeAttr(attr);

    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(S_OK, control->QueryInterface(IID_IPersistStreamInit, persist.put_void()));
    ComPtr<IStream> stream;
    ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
    ASSERT_EQ(S_OK, persist->Save(stream.get(), TRUE));
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    DWORD version = 0;
    stream->Read(&version, sizeof(version), nullptr);
    EXPECT_EQ(0x00010000u, version);
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(S_OK, persist->Load(stream.get()));
}

// ---- simulated devices ----

bool WaitForRestarts(DeviceStore& store, const std::string& ip, long count)
{
    return PollUntil([&] { return store.Restarts(ip) >= count; }, kPatienceMs);
}

TEST_F(ControlTest, OlderProtocolDeviceIsWrittenThenRestartedOnce)
{
    DeviceStore store("store_old.ini");
    ASSERT_EQ(0, store.Run({"add", "10.1.0.5", "--protocol", "old"}));
    // Far longer than one store read takes on a busy machine: the restart cannot have come
    // before the read right after the write.
    ASSERT_TRUE(SetReRootDelay(3000));
    EventRecorder sink(control.get());
    EXPECT_EQ(0, Call(control.get(), kConnect, {L"10.1.0.5", 5510, L"admin", L"pw"}).value);
    CallResult r = Call(control.get(), kWritePu,
                        {L"10.1.0.5", 5510, L"10.2.0.1", Arg::Short(6000), L"PU0001", L"\x4E1C\x95E8", L"10.1.0.5"});
    EXPECT_EQ(0, store.Restarts("10.1.0.5")) << "the restart waits its delay";
    EXPECT_EQ(S_OK, r.hr);
    EXPECT_EQ(1, r.value);
    EXPECT_TRUE(sink.events.empty());
    EXPECT_EQ("10.2.0.1", store.Field("10.1.0.5", "platform_ip"));
    EXPECT_EQ("6000", store.Field("10.1.0.5", "platform_port"));
    EXPECT_EQ("PU0001", store.Field("10.1.0.5", "pu_id"));
    EXPECT_EQ("\xE4\xB8\x9C\xE9\x97\xA8", store.Field("10.1.0.5", "device_name"));
    EXPECT_TRUE(WaitForRestarts(store, "10.1.0.5", 1));
    EXPECT_TRUE(PollUntil([&] { return store.Sessions("10.1.0.5") == 0; }, kPatienceMs))
        << "the restart closed the connection";
    EXPECT_EQ(1, store.Restarts("10.1.0.5"));
    EXPECT_EQ(45, (Call(control.get(), kDisConnect, {1}), sink.events.back().code)) << "the record was dropped";
}

TEST_F(ControlTest, NewerProtocolDeviceUsesTheStoredLogin)
{
    DeviceStore store("store_new.ini");
    ASSERT_EQ(0, store.Run({"add", "10.1.0.7", "--protocol", "new", "--user", "admin", "--password", "s3cret!"}));
    EventRecorder sink(control.get());
    Call(control.get(), kConnect, {L"10.1.0.7", 5510, L"admin", L"s3cret!"});
    CallResult r = Call(control.get(), kWritePu,
                        {L"10.1.0.7", 5510, L"10.2.0.1", 7000, L"PU0002", L"Gate", L"10.1.0.7"});
    EXPECT_EQ(1, r.value);
    EXPECT_TRUE(sink.events.empty());
    EXPECT_EQ("Gate", store.Field("10.1.0.7", "device_name"));
    EXPECT_TRUE(WaitForRestarts(store, "10.1.0.7", 1));
    EXPECT_EQ(1, store.Restarts("10.1.0.7"));

    // Lines that name this test's device are this test's own.
    const std::string log = LogSince(logStart);
    EXPECT_NE(std::string::npos, log.find("v7 batch connnect.ip:10.1.0.7, port:5510\r\n"));
    EXPECT_NE(std::string::npos, log.find("WritePu success. szPuIP-10.1.0.7,lPuPort-5510,szPlatIP-10.2.0.1,"
                                          "lPlatPort-7000,puid-PU0002,newname-Gate,NewIp-10.1.0.7.err:0\r\n"));
    EXPECT_EQ(std::string::npos, log.find("s3cret!")) << "no password in the log";
}

TEST_F(ControlTest, RefusedLoginReportsOneEventAndWritesNothing)
{
    DeviceStore store("store_refused.ini");
    ASSERT_EQ(0, store.Run({"add", "10.1.0.8", "--protocol", "new", "--user", "admin", "--password", "right"}));
    EventRecorder sink(control.get());
    Call(control.get(), kConnect, {L"10.1.0.8", 5510, L"admin", L"wrong"});
    CallResult r = Call(control.get(), kWritePu,
                        {L"10.1.0.8", 5510, L"10.2.0.1", 7000, L"PU0003", L"Gate", L"10.1.0.8"});
    EXPECT_EQ(0, r.value);
    ASSERT_EQ(1u, sink.events.size());
    // The device's refusal (203) is the code for an unverified user, with its text.
    EXPECT_EQ(56, sink.events[0].code);
    EXPECT_EQ(L"\x7528\x6237\x4FE1\x606F\x672A\x9A8C\x8BC1", sink.events[0].text);  // 用户信息未验证
    EXPECT_NE("PU0003", store.Field("10.1.0.8", "pu_id"));
}

TEST_F(ControlTest, OverlongArgumentsWriteNothingToTheDevice)
{
    DeviceStore store("store_overlong.ini");
    ASSERT_EQ(0, store.Run({"add", "10.1.0.9", "--protocol", "old"}));
    EventRecorder sink(control.get());
    const std::wstring id33(33, L'7');
    EXPECT_EQ(0, Call(control.get(), kWritePu,
                      {L"10.1.0.9", 5510, L"10.2.0.1", 6000, id33.c_str(), L"n", L"10.1.0.9"}).value);
    EXPECT_NE("10.2.0.1", store.Field("10.1.0.9", "platform_ip"));
    // 32 characters of PU id still fit.
    const std::wstring id32(32, L'7');
    EXPECT_EQ(1, Call(control.get(), kWritePu,
                      {L"10.1.0.9", 5510, L"10.2.0.1", 6000, id32.c_str(), L"n", L"10.1.0.9"}).value);
    EXPECT_EQ(std::string(32, '7'), store.Field("10.1.0.9", "pu_id"));
    EXPECT_TRUE(WaitForRestarts(store, "10.1.0.9", 1));
}

TEST_F(ControlTest, SlowRestartsStillRestartEachWrittenDeviceOnce)
{
    DeviceStore store("store_slow.ini");
    const char* ips[] = {"10.3.0.1", "10.3.0.2", "10.3.0.3"};
    for (const char* ip : ips) {
        ASSERT_EQ(0, store.Run({"add", ip, "--protocol", "old"}));
        ASSERT_EQ(0, store.Run({"delay", ip, "ZRM_RebootPu", "1500"}));
    }
    for (const char* ip : ips) {
        std::wstring wide(ip, ip + strlen(ip));
        EXPECT_EQ(1, Call(control.get(), kWritePu,
                          {wide.c_str(), 5510, L"10.2.0.1", 6000, L"PU9", L"n", wide.c_str()}).value);
    }
    // Each restart closes its connection after the slow restart: then all are done.
    EXPECT_TRUE(PollUntil([&] {
        for (const char* ip : ips)
            if (store.Restarts(ip) < 1 || store.Sessions(ip) != 0) return false;
        return true;
    }, kPatienceMs));
    for (const char* ip : ips) EXPECT_EQ(1, store.Restarts(ip)) << ip;
}

TEST_F(ControlTest, EachWriteRestartsItsOwnDeviceNotTheLowestMarkedOne)
{
    DeviceStore store("store_order.ini");
    const std::string a = "10.7.0.1", b = "10.7.0.2";
    ASSERT_EQ(0, store.Run({"add", a, "--protocol", "old"}));
    ASSERT_EQ(0, store.Run({"add", b, "--protocol", "old"}));
    EventRecorder sink(control.get());
    // b is connected first by a write that fails and keeps the connection, so b holds the
    // lower PU id although a is the first device written successfully.
    ASSERT_EQ(0, store.Run({"fault", b, "ZRM_SetPuParam", "-16"}));
    EXPECT_EQ(0, Call(control.get(), kWritePu, {L"10.7.0.2", 5510, L"10.2.0.1", 6000, L"PUB", L"b", L"10.7.0.2"}).value);
    ASSERT_EQ(1u, sink.events.size());
    ASSERT_EQ(0, store.Run({"fault", b, "ZRM_SetPuParam", "clear"}));

    // a's restart falls due seconds before b's: whichever device restarts first shows
    // whose restart that was.
    ASSERT_TRUE(SetReRootDelay(300));
    EXPECT_EQ(1, Call(control.get(), kWritePu, {L"10.7.0.1", 5510, L"10.2.0.1", 6000, L"PUA", L"a", L"10.7.0.1"}).value);
    ASSERT_TRUE(SetReRootDelay(4000));
    EXPECT_EQ(1, Call(control.get(), kWritePu, {L"10.7.0.2", 5510, L"10.2.0.1", 6000, L"PUB", L"b", L"10.7.0.2"}).value);
    EXPECT_EQ(1u, sink.events.size());
    ASSERT_TRUE(PollUntil([&] { return store.Restarts(a) + store.Restarts(b) >= 1; }, kPatienceMs));
    EXPECT_EQ(1, store.Restarts(a)) << "a's restart took b's connection";
    EXPECT_EQ(0, store.Restarts(b));

    EXPECT_TRUE(PollUntil([&] {
        return store.Restarts(b) >= 1 && store.Sessions(a) == 0 && store.Sessions(b) == 0;
    }, kPatienceMs));
    EXPECT_EQ(1, store.Restarts(a));
    EXPECT_EQ(1, store.Restarts(b));
    // Both records are gone.
    Call(control.get(), kDisConnect, {1});
    Call(control.get(), kDisConnect, {2});
    ASSERT_EQ(3u, sink.events.size());
    EXPECT_EQ(45, sink.events[1].code);
    EXPECT_EQ(45, sink.events[2].code);
}

TEST_F(ControlTest, AFailedCloseIsRetriedOnItsOwnAndNeverTakesAnotherDevicesRestart)
{
    DeviceStore store("store_failclose.ini");
    const std::string a = "10.7.1.1", b = "10.7.1.2";
    ASSERT_EQ(0, store.Run({"add", a, "--protocol", "old"}));
    ASSERT_EQ(0, store.Run({"add", b, "--protocol", "old"}));
    // a refuses its restart, so its connection stays up, and then refuses to close it once.
    ASSERT_EQ(0, store.Run({"fault", a, "ZRM_RebootPu", "-5"}));
    ASSERT_EQ(0, store.Run({"fault-once", a, "ZRM_DisConnectPU", "-5"}));
    // b's restart falls due well after a's restart has failed to close a.
    ASSERT_TRUE(SetReRootDelay(300));
    EXPECT_EQ(1, Call(control.get(), kWritePu, {L"10.7.1.1", 5510, L"10.2.0.1", 6000, L"PUA", L"a", L"10.7.1.1"}).value);
    ASSERT_TRUE(SetReRootDelay(2500));
    EXPECT_EQ(1, Call(control.get(), kWritePu, {L"10.7.1.2", 5510, L"10.2.0.1", 6000, L"PUB", L"b", L"10.7.1.2"}).value);

    EXPECT_TRUE(PollUntil([&] { return store.Restarts(b) >= 1 && store.Sessions(b) == 0; }, kPatienceMs))
        << "b got its restart, not a second one of a";
    EXPECT_EQ(1, store.Restarts(b));
    // a's close was tried again on its own schedule, and went through.
    EXPECT_TRUE(PollUntil([&] { return store.Sessions(a) == 0; }, kPatienceMs));
    EXPECT_EQ(0, store.Restarts(a));
}

TEST_F(ControlTest, ADeviceWrittenAgainDuringItsRestartIsRestartedAgainAfterThatWrite)
{
    DeviceStore store("store_rewrite.ini");
    const std::string ip = "10.7.2.1";  // this test's own: its log lines are told apart by it
    ASSERT_EQ(0, store.Run({"add", ip, "--protocol", "old"}));
    ASSERT_EQ(0, store.Run({"delay", ip, "ZRM_RebootPu", "1500"}));
    EventRecorder sink(control.get());
    EXPECT_EQ(1, Call(control.get(), kWritePu, {L"10.7.2.1", 5510, L"10.2.0.1", 6000, L"PU1", L"n1", L"10.7.2.1"}).value);
    // The restart has begun; the device takes a while to answer it and stays up meanwhile.
    ASSERT_TRUE(PollUntil([&] { return LogSince(logStart).find(",szPuIP-10.7.2.1\r\n") != std::string::npos; },
                          kPatienceMs));
    // The second write's restart falls due long after the reads below, however slow they are.
    ASSERT_TRUE(SetReRootDelay(3000));
    EXPECT_EQ(1, Call(control.get(), kWritePu, {L"10.7.2.1", 5510, L"10.2.0.1", 6000, L"PU2", L"n2", L"10.7.2.1"}).value);
    EXPECT_EQ(1, store.Restarts(ip)) << "the first restart has ended, the second is still due";
    EXPECT_TRUE(sink.events.empty());
    EXPECT_TRUE(PollUntil([&] { return store.Restarts(ip) >= 2 && store.Sessions(ip) == 0; }, kPatienceMs))
        << "the second write got a restart of its own";
    EXPECT_EQ(2, store.Restarts(ip));
    EXPECT_EQ("PU2", store.Field(ip, "pu_id"));
}

TEST_F(ControlTest, ARestartWhoseRunnerCannotStartIsRetriedWithoutAnotherWrite)
{
    DeviceStore store("store_norunner.ini");
    const std::string ip = "10.7.3.1";
    ASSERT_EQ(0, store.Run({"add", ip, "--protocol", "old"}));
    ASSERT_TRUE(RefuseRunnerStarts(3)) << "the tests' build of orvex.dll";
    EXPECT_EQ(1, Call(control.get(), kWritePu, {L"10.7.3.1", 5510, L"10.2.0.1", 6000, L"PU", L"n", L"10.7.3.1"}).value);
    EXPECT_TRUE(PollUntil([&] { return store.Restarts(ip) >= 1 && store.Sessions(ip) == 0; }, kPatienceMs));
    EXPECT_TRUE(RefuseRunnerStarts(0));
}

TEST_F(ControlTest, LoginErrorsReachTheHostWithTheTableTextsUnchanged)
{
    // Codes whose texts hold full-width parentheses (65, 66) and an ASCII ", " (69), from the
    // newer-protocol login's error values 213, 214 and 217. (-8, the full-width comma, is the
    // older library's own value, which reaches the host translated to 6: no device gives -8.)
    DeviceStore store("store_texts.ini");
    const std::string ip = "10.1.0.11";
    ASSERT_EQ(0, store.Run({"add", ip, "--protocol", "new", "--user", "admin", "--password", "pw"}));
    struct Case {
        int errV7;
        int code;
        const wchar_t* text;
    };
    const Case cases[] = {
        {213, 65, L"CGI\x8BF7\x6C42\x643A\x5E26XML\x9519\x8BEF\xFF08\x8BF7\x6C42\x7684URL\x4E0EXML\x5185\x7684"
                  L"\x6839\x8282\x70B9\x4E0D\x5339\x914D\xFF09"},  // CGI请求携带XML错误（请求的URL与XML内的根节点不匹配）
        {214, 66, L"CGI\x8BF7\x6C42\x643A\x5E26\x7684XML\x4E2D\x7F3A\x5C11\x5FC5\x8981\x7684\x53C2\x6570"
                  L"\xFF08XML\x5143\x7D20\xFF09"},  // CGI请求携带的XML中缺少必要的参数（XML元素）
        {217, 69, L"\x5347\x7EA7\x6587\x4EF6\x68C0\x67E5\x9519\x8BEF, \x91CD\x53D1\x5F53\x524D\x7684\x5305"},
        // 升级文件检查错误, 重发当前的包
    };
    EventRecorder sink(control.get());
    for (const Case& c : cases) {
        ASSERT_EQ(0, store.Run({"fault", ip, "IPC_Login", std::to_string(c.errV7)}));
        sink.events.clear();
        Call(control.get(), kConnect, {L"10.1.0.11", 5510, L"admin", L"pw"});
        EXPECT_EQ(0, Call(control.get(), kWritePu,
                          {L"10.1.0.11", 5510, L"10.2.0.1", 7000, L"PU", L"n", L"10.1.0.11"}).value);
        ASSERT_EQ(1u, sink.events.size()) << c.errV7;
        EXPECT_EQ(c.code, sink.events[0].code);
        const std::wstring expected = c.text;
        const std::wstring& text = sink.events[0].text;
        ASSERT_EQ(expected.size(), text.size()) << c.code;
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(static_cast<unsigned>(expected[i]), static_cast<unsigned>(text[i])) << c.code << " at " << i;
    }
}

TEST(ControlLifetime, ControlsGoneBeforeTheirRestartsLeakNothing)
{
    ComApartment apartment;
    DeviceStore store("store_lifetime.ini");
    ASSERT_TRUE(OrvexModule());
    constexpr int kControls = 6;
    const auto ipOf = [](int i) { return "10.4.0." + std::to_string(i + 1); };
    for (int i = 0; i < kControls; ++i) ASSERT_EQ(0, store.Run({"add", ipOf(i), "--protocol", "old"}));
    // Long enough for the controls to be gone before the first restart also on a busy machine;
    // the module is asked right after the last write, long before that write's restart.
    ASSERT_TRUE(SetReRootDelay(4000));
    const int threadsBefore = ThreadCount();
    DWORD handlesBefore = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    for (int i = 0; i < kControls; ++i) {
        ComPtr<IDispatch> control = CreateControl();
        ASSERT_TRUE(control);
        const std::string ip = ipOf(i);
        std::wstring wide(ip.begin(), ip.end());
        EXPECT_EQ(1, Call(control.get(), kWritePu, {wide.c_str(), 5510, L"10.2.0.1", 6000, L"PU", L"n", wide.c_str()}).value);
    }  // every control is gone while its restart waits
    EXPECT_EQ(S_FALSE, ModuleCanUnloadNow()) << "waiting restarts keep the module";
    EXPECT_TRUE(PollUntil([] { return ModuleCanUnloadNow() == S_OK; }, kPatienceMs));
    for (int i = 0; i < kControls; ++i) EXPECT_EQ(1, store.Restarts(ipOf(i))) << ipOf(i);
    EXPECT_TRUE(PollUntil([&] { return ThreadCount() <= threadsBefore; }, kPatienceMs)) << "the runners ended";
    DWORD handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_LE(handlesAfter, handlesBefore + 8);
}

TEST(ControlLifetime, TwoLiveControlsShareOneRegistry)
{
    ComApartment apartment;
    DeviceStore store("store_two.ini");
    ASSERT_EQ(0, store.Run({"add", "10.5.0.1", "--protocol", "old"}));
    ComPtr<IDispatch> first = CreateControl();
    ComPtr<IDispatch> second = CreateControl();
    // The host closes the device before its restart falls due, also on a busy machine.
    ASSERT_TRUE(SetReRootDelay(3000));
    {
        EventRecorder sink(second.get());
        EXPECT_EQ(1, Call(first.get(), kWritePu, {L"10.5.0.1", 5510, L"10.2.0.1", 6000, L"PU", L"n", L"10.5.0.1"}).value);
        first.reset();  // the second control keeps working with the same registry
        Call(second.get(), kIsUseDomain, {1});
        EXPECT_TRUE(sink.events.empty()) << "PU id 1 is known to the second control";
        Call(second.get(), kDisConnect, {1});
        EXPECT_TRUE(sink.events.empty());
    }
    second.reset();
    EXPECT_TRUE(PollUntil([] { return ModuleCanUnloadNow() == S_OK; }, kPatienceMs)) << "the restart has run";
    EXPECT_EQ(0, store.Restarts("10.5.0.1")) << "closed by the host before its restart was due";
}

} // namespace
