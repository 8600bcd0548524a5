#include "com_test_support.h"

#include "orvex/control/orvex_contract.h"

#include "activex/com_object.h"

#include <tlhelp32.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include "devsim_tool.h"
#include "store.h"

namespace orvex_test {

std::wstring ProgramDir()
{
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

HMODULE OrvexModule()
{
    static HMODULE module = LoadLibraryW((ProgramDir() + L"orvex.dll").c_str());
    return module;
}

ComPtr<IDispatch> CreateControl()
{
    using GetClassObjectFn = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(GetProcAddress(OrvexModule(), "DllGetClassObject")));
    ComPtr<IDispatch> control;
    if (!get) return control;
    CLSID clsid;
    CLSIDFromString(L"" ORVEX_CLSID_TEXT, &clsid);
    ComPtr<IClassFactory> factory;
    if (FAILED(get(clsid, IID_IClassFactory, factory.put_void()))) return control;
    factory->CreateInstance(nullptr, IID_IDispatch, control.put_void());
    return control;
}

CallResult Call(IDispatch* control, DISPID id, std::vector<Arg> args)
{
    std::vector<VARIANTARG> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(it->v);
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    activex::UniqueVariant result;
    CallResult out{E_FAIL, -12345, 0xFFFF};
    out.hr = control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.get(), nullptr,
                             &out.argErr);
    if (V_VT(result.get()) == VT_I4) out.value = V_I4(result.get());
    return out;
}

namespace {

IID EventsIid()
{
    IID events;
    IIDFromString(L"{35F09AE1-B0D5-4A1B-97A0-3DD5110C6E4B}", &events);  // _DorvexEvents
    return events;
}

// The event interface is a dispinterface: the control calls Invoke with DISPID 1.
class CEventSink : public activex::Implements<CEventSink, IDispatch> {
public:
    explicit CEventSink(std::shared_ptr<std::vector<Event>> events) : m_events(std::move(events)) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (out && IsEqualIID(iid, EventsIid())) return Implements::QueryInterface(IID_IDispatch, out);
        return Implements::QueryInterface(iid, out);
    }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        if (id != 1 || !params || params->cArgs != 2) return DISP_E_MEMBERNOTFOUND;
        const VARIANT& text = params->rgvarg[0];
        const VARIANT& code = params->rgvarg[1];
        if (V_VT(&code) != VT_I4 || V_VT(&text) != VT_BSTR) return DISP_E_TYPEMISMATCH;
        m_events->push_back({V_I4(&code), V_BSTR(&text) ? V_BSTR(&text) : L"<null>"});
        return S_OK;
    }

private:
    std::shared_ptr<std::vector<Event>> m_events;
};

}  // namespace

EventRecorder::EventRecorder(IDispatch* control)
{
    ComPtr<IDispatch> sink;
    ComPtr<IConnectionPointContainer> container;
    if (SUCCEEDED(activex::CreateObject<CEventSink>(IID_IDispatch, sink.put_void(), m_events)) &&
        SUCCEEDED(control->QueryInterface(IID_IConnectionPointContainer, container.put_void())) &&
        SUCCEEDED(container->FindConnectionPoint(EventsIid(), m_point.put())))
        m_point->Advise(sink.get(), &m_cookie);
}

EventRecorder::~EventRecorder()
{
    if (m_point && m_cookie) m_point->Unadvise(m_cookie);
}

DeviceStore::DeviceStore(const std::string& name)
{
    char dir[MAX_PATH];
    GetModuleFileNameA(nullptr, dir, MAX_PATH);
    std::string path(dir);
    m_path = path.substr(0, path.find_last_of("\\/") + 1) + name;
    DeleteFileA(m_path.c_str());
    _putenv_s("ORVEX_DEVSIM_STORE", m_path.c_str());
    Run({"unreachable-delay", "0"});
}

DeviceStore::~DeviceStore() { DeleteFileA(m_path.c_str()); }

void DeviceStore::Select() { _putenv_s("ORVEX_DEVSIM_STORE", m_path.c_str()); }

int DeviceStore::Run(std::vector<std::string> args)
{
    devsim::Store store(m_path);
    std::ostringstream out, err;
    return devsim::RunDevsimTool(args, store, out, err);
}

namespace {
template <class Fn>
auto WithDevice(const std::string& path, const std::string& ip, Fn fn) -> decltype(fn(std::declval<devsim::Device&>()))
{
    devsim::Store store(path);
    devsim::StoreData data;
    std::string error;
    if (!store.Read(data, error)) return {};
    devsim::Device* device = data.Find(ip);
    if (!device) return {};
    return fn(*device);
}
} // namespace

std::string DeviceStore::Field(const std::string& ip, const std::string& key)
{
    return WithDevice(m_path, ip, [&](devsim::Device& d) { return d.Field(key); });
}

long DeviceStore::Restarts(const std::string& ip)
{
    return WithDevice(m_path, ip, [](devsim::Device& d) { return d.restarts; });
}

long DeviceStore::Sessions(const std::string& ip)
{
    return WithDevice(m_path, ip, [](devsim::Device& d) { return d.sessions; });
}

long DeviceStore::Logins(const std::string& ip)
{
    return WithDevice(m_path, ip, [](devsim::Device& d) { return d.logins + d.failed_logins; });
}

namespace {

bool CallTestHook(const char* name, long value)
{
    using HookFn = void(__cdecl*)(long);
    auto hook = reinterpret_cast<HookFn>(reinterpret_cast<void*>(GetProcAddress(OrvexModule(), name)));
    if (!hook) return false;
    hook(value);
    return true;
}

}  // namespace

bool SetReRootDelay(long milliseconds) { return CallTestHook("OrvexTestSetReRootDelay", milliseconds); }
bool RefuseRunnerStarts(long count) { return CallTestHook("OrvexTestRefuseRunnerStarts", count); }

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

HRESULT ModuleCanUnloadNow()
{
    using CanUnloadFn = HRESULT(WINAPI*)();
    auto canUnload = reinterpret_cast<CanUnloadFn>(
        reinterpret_cast<void*>(GetProcAddress(OrvexModule(), "DllCanUnloadNow")));
    return canUnload ? canUnload() : E_FAIL;
}

int ThreadCount()
{
    activex::UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL ok = Thread32First(snapshot.get(), &entry); ok; ok = Thread32Next(snapshot.get(), &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    return count;
}

std::string ReadFileText(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::wstring TodaysLogPath()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t path[MAX_PATH];
    swprintf(path, MAX_PATH, L"C:\\orvex\\Log\\Log_%d_%02d_%02d.txt", now.wYear, now.wMonth, now.wDay);
    return path;
}

DWORD RunProgram(std::wstring commandLine, const std::wstring& outputFile, DWORD limitMs)
{
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    activex::UniqueFileHandle out(CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out.get();
    startup.hStdError = out.get();
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return static_cast<DWORD>(-1);
    activex::UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
    if (WaitForSingleObject(process.hProcess, limitMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 10000);
        return static_cast<DWORD>(-1);
    }
    DWORD code = static_cast<DWORD>(-1);
    GetExitCodeProcess(process.hProcess, &code);
    return code;
}

} // namespace orvex_test
