// A programmable device adapter for the registry's tests. The adapter object the
// registry owns forwards to a script that the test keeps and inspects; recording is
// thread-safe so that concurrent registry calls can use it.
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "pu_base.h"
#include "pu_protocols.h"

struct ConnetCall {
    std::string ip;
    int port;
    std::string user;
    std::string pass;
};

struct AdapterScript {
    // Answers (set before use).
    bool initResult = true;
    int initCode = 0;
    bool connetResult = true;
    int connetCode = 0;        // written on failure, or on success when non-zero
    int firstHandle = 100;     // handles given out: 100, 101, ...
    bool writeResult = true;
    int writeCode = 0;
    int handleAfterWrite = 0;  // when non-zero, the handle a write hands out
    std::atomic<bool> connected{true};
    bool disconnectResult = true;
    int disconnectCode = 0;
    bool reRootResult = true;
    int reRootCode = 0;
    bool useDomain = false;

    // What the registry asked.
    std::atomic<int> initCalls{0}, writeCalls{0}, disconnectCalls{0}, reRootCalls{0}, isConnectedCalls{0},
        isUseDomainCalls{0}, destroyed{0};
    std::atomic<int> nextHandle{0};
    std::mutex lock;
    std::vector<ConnetCall> connets;
    std::vector<int> writeHandles;       // the handle value behind the pointer WritePu got
    std::vector<std::string> writeArgs;  // "ip|port|platIp|platPort|puid|name|newIp"
    std::vector<int> disconnectHandles;
    std::vector<int> rebootedHandles;    // a rebooted connection is never to be written again
    std::atomic<int> writesToRebooted{0};
    std::function<void()> duringConnet;  // runs inside Connet (set before use)
    std::function<void()> duringWrite;   // runs inside WritePu (set before use)
    std::function<void()> duringReRoot;  // runs inside ReRoot (set before use)

    std::vector<ConnetCall> Connets() { std::lock_guard<std::mutex> g(lock); return connets; }
};

class FakeAdapter : public CPuBase {
public:
    explicit FakeAdapter(std::shared_ptr<AdapterScript> script) : m_script(std::move(script)) {}
    ~FakeAdapter() override { ++m_script->destroyed; }

    bool Init(int* errPu) override;
    bool Connet(int* lPuHandle, const char* szPuIP, int lPuPort, const char* szUserName,
                const char* szPassword, int* errPu) override;
    bool WritePu(int* lPuHandle, const WritePuRequest& request, int* errPu) override;
    bool DisConnect(int lPuHandle, int* errPu) override;
    bool IsUseDomain(int lPuHandle, int* errPu) override;
    bool IsConnected(int lPuHandle, int* errPu) override;
    bool ReRoot(int lPuHandle, int* errPu) override;

private:
    std::shared_ptr<AdapterScript> m_script;
};

// The module's two protocols over adapters that follow the two scripts (either may be
// null: no adapter), counting the newer one's library releases in *releases.
PuProtocols FakeProtocols(std::shared_ptr<AdapterScript> v5, std::shared_ptr<AdapterScript> v7,
                          std::shared_ptr<std::atomic<int>> releases);
