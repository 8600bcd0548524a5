// Support for the control's COM tests under Wine: the module loaded beside the test
// program, a control made through its class factory, dispatch calls, an event sink
// that records PUErrorOut, and the simulated device store.
#pragma once
#include <windows.h>
#include <ocidl.h>

#include <memory>
#include <string>
#include <vector>
#include "activex/raii.h"

namespace orvex_test {

using activex::ComPtr;

struct ComApartment {
    ComApartment() { CoInitialize(nullptr); }
    ~ComApartment() { CoUninitialize(); }
};

std::wstring ProgramDir();
// Runs a program with its output in a file; its exit code, or -1 when it cannot start or
// does not end within `limitMs` (it is then ended).
DWORD RunProgram(std::wstring commandLine, const std::wstring& outputFile, DWORD limitMs = 120000);
HMODULE OrvexModule();                 // orvex.dll beside the program, loaded once
ComPtr<IDispatch> CreateControl();     // through DllGetClassObject, no registry needed

// A dispatch argument list in the method's order.
struct Arg {
    Arg(long value) { VariantInit(&v); V_VT(&v) = VT_I4; V_I4(&v) = value; }
    Arg(int value) : Arg(static_cast<long>(value)) {}
    Arg(const wchar_t* text) { VariantInit(&v); V_VT(&v) = VT_BSTR; V_BSTR(&v) = SysAllocString(text); }
    Arg(std::nullptr_t) { VariantInit(&v); V_VT(&v) = VT_BSTR; V_BSTR(&v) = nullptr; }
    Arg(const Arg& other) { VariantInit(&v); VariantCopy(&v, const_cast<VARIANT*>(&other.v)); }
    Arg& operator=(const Arg&) = delete;
    ~Arg() { VariantClear(&v); }
    static Arg Short(short value) { Arg a(0L); V_VT(&a.v) = VT_I2; V_I2(&a.v) = value; return a; }
    static Arg Double(double value) { Arg a(0L); V_VT(&a.v) = VT_R8; V_R8(&a.v) = value; return a; }
    VARIANT v;
};

struct CallResult {
    HRESULT hr;
    long value;   // VT_I4 result, or -12345 when there is none
    UINT argErr;
};
CallResult Call(IDispatch* control, DISPID id, std::vector<Arg> args);

struct Event {
    long code;
    std::wstring text;
};

// Records every PUErrorOut it receives, through a sink object it advises on a control
// (and unadvises when it goes).
class EventRecorder {
    // Shared with the sink, which the control may hold a little longer.
    std::shared_ptr<std::vector<Event>> m_events = std::make_shared<std::vector<Event>>();

public:
    explicit EventRecorder(IDispatch* control);
    ~EventRecorder();
    EventRecorder(const EventRecorder&) = delete;
    EventRecorder& operator=(const EventRecorder&) = delete;

    std::vector<Event>& events = *m_events;

private:
    ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};

// The simulated devices: a store file of the program's own, named by ORVEX_DEVSIM_STORE.
class DeviceStore {
public:
    explicit DeviceStore(const std::string& name);
    ~DeviceStore();
    int Run(std::vector<std::string> args);  // the devsim tool's commands
    void Select();                           // the programs started from now on use this store
    std::string Field(const std::string& ip, const std::string& key);
    long Restarts(const std::string& ip);
    long Sessions(const std::string& ip);
    long Logins(const std::string& ip);        // accepted and refused

private:
    std::string m_path;
};

// The restart delay of the module beside the program (its tests' build): false when
// that module has no such hook.
bool SetReRootDelay(long milliseconds);
// Makes the module refuse the next `count` restart runner threads, as a process out of
// threads would (its tests' build); false when that module has no such hook.
bool RefuseRunnerStarts(long count);
// The module's DllCanUnloadNow: S_FALSE while objects or pending restarts hold it.
HRESULT ModuleCanUnloadNow();
// Threads of this process now.
int ThreadCount();

// Runs the messages waiting for this thread, as a host's message loop would: the
// module's own window (the registry's home) works through them.
void PumpMessages();

// Asks `done` every few milliseconds until it answers true or `limitMs` have passed;
// its last answer. Messages keep being served meanwhile.
template <class Done>
bool PollUntil(Done done, DWORD limitMs)
{
    const ULONGLONG end = GetTickCount64() + limitMs;
    for (;;) {
        PumpMessages();
        if (done()) return true;
        if (GetTickCount64() >= end) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// Whole text of a file (UTF-8/ANSI bytes), empty when missing.
std::string ReadFileText(const std::wstring& path);
// Today's log file of the module.
std::wstring TodaysLogPath();

} // namespace orvex_test
