#include "fake_adapter.h"

bool FakeAdapter::Init(int* errPu)
{
    ++m_script->initCalls;
    if (m_script->initCode) *errPu = m_script->initCode;
    return m_script->initResult;
}

bool FakeAdapter::Connet(int* lPuHandle, const char* szPuIP, int lPuPort, const char* szUserName,
                         const char* szPassword, int* errPu)
{
    {
        std::lock_guard<std::mutex> g(m_script->lock);
        m_script->connets.push_back({szPuIP, lPuPort, szUserName, szPassword});
    }
    if (m_script->duringConnet) m_script->duringConnet();
    *lPuHandle = m_script->firstHandle + m_script->nextHandle++;
    if (m_script->connetCode) *errPu = m_script->connetCode;
    return m_script->connetResult;
}

bool FakeAdapter::WritePu(int* lPuHandle, const WritePuRequest& request, int* errPu)
{
    ++m_script->writeCalls;
    {
        std::lock_guard<std::mutex> g(m_script->lock);
        m_script->writeHandles.push_back(*lPuHandle);
        for (int rebooted : m_script->rebootedHandles)
            if (rebooted == *lPuHandle) ++m_script->writesToRebooted;
        m_script->writeArgs.push_back(std::string(request.szPuIP) + "|" + std::to_string(request.lPuPort) + "|" +
                                      request.szPlatIP + "|" + std::to_string(request.lPlatPort) + "|" +
                                      request.szPuId + "|" + request.szNewName + "|" + request.szNewIp);
    }
    if (m_script->duringWrite) m_script->duringWrite();
    if (m_script->handleAfterWrite) *lPuHandle = m_script->handleAfterWrite;
    if (m_script->writeCode) *errPu = m_script->writeCode;
    return m_script->writeResult;
}

bool FakeAdapter::DisConnect(int lPuHandle, int* errPu)
{
    ++m_script->disconnectCalls;
    {
        std::lock_guard<std::mutex> g(m_script->lock);
        m_script->disconnectHandles.push_back(lPuHandle);
    }
    if (m_script->disconnectCode) *errPu = m_script->disconnectCode;
    return m_script->disconnectResult;
}

bool FakeAdapter::IsUseDomain(int, int*)
{
    ++m_script->isUseDomainCalls;
    return m_script->useDomain;
}

bool FakeAdapter::IsConnected(int, int*)
{
    ++m_script->isConnectedCalls;
    return m_script->connected;
}

bool FakeAdapter::ReRoot(int lPuHandle, int* errPu)
{
    ++m_script->reRootCalls;
    {
        std::lock_guard<std::mutex> g(m_script->lock);
        m_script->rebootedHandles.push_back(lPuHandle);
    }
    if (m_script->duringReRoot) m_script->duringReRoot();
    if (m_script->reRootCode) *errPu = m_script->reRootCode;
    return m_script->reRootResult;
}

PuProtocols FakeProtocols(std::shared_ptr<AdapterScript> v5, std::shared_ptr<AdapterScript> v7,
                          std::shared_ptr<std::atomic<int>> releases)
{
    auto maker = [](std::shared_ptr<AdapterScript> script) -> std::function<std::unique_ptr<CPuBase>()> {
        if (!script) return [] { return std::unique_ptr<CPuBase>(); };
        return [script] { return std::make_unique<FakeAdapter>(script); };
    };
    return {{emPutype_V5, "v5", PuLogin::Anonymous, maker(v5), nullptr},
            {emPutype_V7, "v7", PuLogin::Asked, maker(v7), [releases] { ++*releases; }}};
}
