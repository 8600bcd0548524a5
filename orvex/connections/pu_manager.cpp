#include "pu_manager.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

#include "bounded_text.h"
#include "diag/log_format.h"
#include "diag/write_log.h"
#include "login_prompt.h"
#include "wide_to_utf8.h"

namespace {

constexpr const char* kConnectFn = "PuManager::Connect";
constexpr const char* kWritePuFn = "PuManager::WritePu";
constexpr int kIdOk = 1;              // the login dialog's IDOK
constexpr int kStoredLoginPort = 80;  // an asked login with the stored login, whatever the caller's port

bool SameIp(const PuRecord& record, const char* szPuIP)
{
    return std::strcmp(record.szPuIP, szPuIP) == 0;
}

bool WriteBusy(const char* szPuIP, const char* what, int* errPu)
{
    *errPu = kErrPuBusy;
    ORVEX_LOGF(kWritePuFn, "WritePu fail, %s. szPuIP-%s.err:%d", what, szPuIP, *errPu);
    return false;
}

}  // namespace

PuManager::PuManager(PuProtocols protocols, ILoginPrompt& loginPrompt, PuWaiting waiting)
    : m_loginPrompt(loginPrompt), m_protocols(std::move(protocols)), m_adapters(m_protocols.size()),
      m_waiting(std::move(waiting))
{
}

PuManager::~PuManager()
{
    // Open connections are not closed; what a protocol's adapter loaded is released.
    for (std::size_t i = 0; i < m_protocols.size(); ++i) {
        if (m_adapters[i] && m_protocols[i].release) m_protocols[i].release();
        m_adapters[i].reset();
    }
}

bool PuManager::Init(int* errPu)
{
    *errPu = kErrPuNone;
    for (std::size_t i = 0; i < m_protocols.size(); ++i) {  // a failure leaves the later ones without an adapter
        std::unique_lock<std::mutex> lock(m_adapterLock);
        m_adapters[i] = m_protocols[i].make ? m_protocols[i].make() : nullptr;
        CPuBase* adapter = m_adapters[i].get();
        lock.unlock();  // the adapter's Init runs outside it
        if (!adapter || !adapter->Init(errPu) || *errPu != kErrPuNone) {
            *errPu = kErrPuInternal;
            return false;
        }
    }
    return true;
}

CPuBase* PuManager::GetObjectByPuType(int emPutype)
{
    std::lock_guard<std::mutex> lock(m_adapterLock);
    for (std::size_t i = 0; i < m_protocols.size(); ++i)
        if (m_protocols[i].emPutype == emPutype) return m_adapters[i].get();
    return nullptr;
}

PuManager::PuTarget PuManager::FindPuTarget(int lPuID, int* errPu, const char* logFn)
{
    PuTarget target;
    {
        std::lock_guard<std::mutex> lock(m_mapLock);
        auto found = m_mapPu.find(lPuID);
        if (found != m_mapPu.end()) {
            target.record = found->second;
            target.lPuHandle = target.record->lPuHandle;
            target.emPutype = target.record->emPutype;
            CopyTextZeroFilled(target.szPuIP, target.record->szPuIP);
        }
    }
    if (!target.record) {
        *errPu = kErrPuNoRecord;
        if (logFn) ORVEX_LOGF(logFn, "GetPuByPuId fail. lPuID:%d", lPuID);
        return target;
    }
    target.adapter = GetObjectByPuType(target.emPutype);
    if (!target.adapter) *errPu = kErrPuInternal;
    return target;
}

bool PuManager::WaitForUseChange(std::unique_lock<std::mutex>& lock, std::chrono::steady_clock::time_point deadline)
{
    if (!m_waiting.serve) return m_recordUseChanged.wait_until(lock, deadline) == std::cv_status::no_timeout;
    constexpr std::chrono::milliseconds kServeSlice{10};
    const auto slice = std::min(deadline, std::chrono::steady_clock::now() + kServeSlice);
    if (m_recordUseChanged.wait_until(lock, slice) == std::cv_status::no_timeout) return true;
    lock.unlock();
    m_waiting.serve();
    lock.lock();
    return std::chrono::steady_clock::now() < deadline;  // the caller looks again
}

bool PuManager::ClaimPuByIp(const char* szPuIP, RecordPtr* claimed)
{
    const auto deadline = std::chrono::steady_clock::now() + m_waiting.limit;
    std::unique_lock<std::mutex> lock(m_mapLock);
    for (;;) {
        const auto found = std::find_if(m_mapPu.begin(), m_mapPu.end(), [szPuIP](const auto& entry) {
            return entry.second->use != PuRecordUse::Closing && SameIp(*entry.second, szPuIP);
        });
        if (found == m_mapPu.end()) return true;
        if (found->second->use == PuRecordUse::Idle) {
            found->second->use = PuRecordUse::Writing;
            *claimed = found->second;
            return true;
        }
        // A restart is rebooting and closing it, or the host closes it: wait for the end
        // of that, then look again (a closed connection is gone by then).
        if (!WaitForUseChange(lock, deadline)) return false;
    }
}

void PuManager::EndWrite(const RecordPtr& record, std::int32_t lPuHandle, std::uint32_t* restartTicket)
{
    {
        std::lock_guard<std::mutex> lock(m_mapLock);
        record->lPuHandle = lPuHandle;
        record->use = PuRecordUse::Idle;
        if (restartTicket) {
            record->bOnline = 1;
            if (++m_lastRestartTicket == 0) ++m_lastRestartTicket;  // 0 stands for none
            record->restartTicket = *restartTicket = m_lastRestartTicket;
        }
    }
    m_recordUseChanged.notify_all();
}

class PuManager::AddressHold {
public:
    AddressHold(PuManager& registry, const char* szPuIP) : m_registry(registry), m_szPuIP(szPuIP)
    {
        const auto deadline = std::chrono::steady_clock::now() + registry.m_waiting.limit;
        std::unique_lock<std::mutex> lock(registry.m_mapLock);
        while (registry.m_addressesWritten.count(szPuIP) != 0)
            if (!registry.WaitForUseChange(lock, deadline)) return;
        m_held = registry.m_addressesWritten.insert(szPuIP).second;
    }
    ~AddressHold()
    {
        if (!m_held) return;
        {
            std::lock_guard<std::mutex> lock(m_registry.m_mapLock);
            m_registry.m_addressesWritten.erase(m_szPuIP);
        }
        m_registry.m_recordUseChanged.notify_all();
    }
    AddressHold(const AddressHold&) = delete;
    AddressHold& operator=(const AddressHold&) = delete;
    explicit operator bool() const { return m_held; }

private:
    PuManager& m_registry;
    const char* const m_szPuIP;
    bool m_held = false;
};

void PuManager::RemovePuByIp(const char* szPuIP)
{
    {
        std::lock_guard<std::mutex> lock(m_mapLock);
        // Every older connection to the address, but never one a restart or another call
        // is working on.
        for (auto it = m_mapPu.begin(); it != m_mapPu.end();) {
            const PuRecordUse use = it->second->use;
            if (SameIp(*it->second, szPuIP) && use != PuRecordUse::Restarting && use != PuRecordUse::Writing)
                it = m_mapPu.erase(it);
            else
                ++it;
        }
    }
    m_recordUseChanged.notify_all();
}

void PuManager::RemovePu(int lPuID)
{
    {
        std::lock_guard<std::mutex> lock(m_mapLock);
        m_mapPu.erase(lPuID);
    }
    m_recordUseChanged.notify_all();
}

void PuManager::SetLoginInfo(const char* szUserName, const char* szPassword)
{
    {
        std::lock_guard<std::mutex> lock(m_loginLock);
        m_nLoginMode = 0;
        CopyTextZeroFilled(m_szUserName, szUserName);
        CopyTextZeroFilled(m_szPassword, szPassword);
    }
    ORVEX_LOGF("PuManager::SetLoginInfo", "SetLoginInfo start. lPuID:%d,name-%s.pass-%s", 0, TextOrEmpty(szUserName),
               MaskedPassword(szPassword));
}

bool PuManager::TakeStoredLogin(Login* login)
{
    std::lock_guard<std::mutex> lock(m_loginLock);
    if (m_nLoginMode != 0) return false;
    m_nLoginMode = 1;  // one login per SetLoginInfo
    CopyTextZeroFilled(login->szUserName, m_szUserName);
    CopyTextZeroFilled(login->szPassword, m_szPassword);
    login->lPort = kStoredLoginPort;
    return true;
}

bool PuManager::Connect(int* lPuID, const char* szPuIP, int lPuPort, int* errPu)
{
    const Connection connection = ConnectRecord(szPuIP, lPuPort, errPu, PuRecordUse::Idle);
    if (connection.record) *lPuID = connection.record->lPuID;
    return connection.record != nullptr;
}

bool PuManager::PrepareLogin(const PuProtocol& protocol, const char* szPuIP, int lPuPort, Login* login)
{
    login->lPort = lPuPort;
    if (protocol.login == PuLogin::Anonymous) return true;
    // "connnect" (three n) kept here and below: the text is what searches of existing logs look for.
    ORVEX_LOGF_CUT(128, kConnectFn, "%s connnect.ip:%s, port:%d", protocol.logName, szPuIP, lPuPort);
    if (TakeStoredLogin(login)) {
        ORVEX_LOGF_CUT(128, kConnectFn, "%s batch connnect.ip:%s, port:%d", protocol.logName, szPuIP, lPuPort);
        return true;
    }
    if (m_loginPrompt.DoModal() != kIdOk) {
        ORVEX_LOG(kConnectFn, "cancel login.");
        return false;
    }
    WideToUtf8(m_loginPrompt.UserName(), login->szUserName, sizeof login->szUserName);
    WideToUtf8(m_loginPrompt.Password(), login->szPassword, sizeof login->szPassword);
    login->lPort = m_loginPrompt.Port();
    return true;
}

PuManager::Connection PuManager::ConnectRecord(const char* szPuIP, int lPuPort, int* errPu, PuRecordUse use)
{
    szPuIP = TextOrEmpty(szPuIP);
    int lPuHandle = 0;
    for (const PuProtocol& protocol : m_protocols) {
        Login login;
        // A cancelled dialog ends the tries with the code the previous protocol left.
        if (!PrepareLogin(protocol, szPuIP, lPuPort, &login)) return {};
        *errPu = kErrPuNone;
        CPuBase* adapter = GetObjectByPuType(protocol.emPutype);
        if (!adapter) *errPu = kErrPuInternal;
        const bool connected =
            adapter && adapter->Connet(&lPuHandle, szPuIP, login.lPort, login.szUserName, login.szPassword, errPu);
        const bool clean = connected && *errPu == kErrPuNone;
        if (!clean && protocol.login == PuLogin::Asked) {
            ORVEX_LOGF_CUT(128, kConnectFn, "login fail.ip:%s, port:%d, name:%s, pass:%s", szPuIP, login.lPort,
                           login.szUserName, MaskedPassword(login.szPassword));
        }
        if (clean || (connected && &protocol == &m_protocols.back()))
            return Register(protocol.emPutype, adapter, szPuIP, lPuHandle, use);
    }
    return {};
}

PuManager::Connection PuManager::Register(std::int32_t emPutype, CPuBase* adapter, const char* szPuIP,
                                          int lPuHandle, PuRecordUse use)
{
    ORVEX_LOGF_CUT(128, kConnectFn, "login success.ip:%s, emPutype:%d,lPuHandle-%d", szPuIP, emPutype, lPuHandle);
    RemovePuByIp(szPuIP);  // an older record for the same address is dropped

    auto record = std::make_shared<PuRecord>();
    record->lPuID = ++m_lPuIdCounter;
    record->lPuHandle = lPuHandle;
    record->emPutype = emPutype;
    CopyTextZeroFilled(record->szPuIP, szPuIP);
    record->use = use;
    {
        std::lock_guard<std::mutex> lock(m_mapLock);
        m_mapPu[record->lPuID] = record;
    }
    return {std::move(record), adapter};
}

bool PuManager::WritePu(const WritePuRequest& request, int* lPuID, int* errPu, std::uint32_t* restartTicket)
{
    ORVEX_LOG(kWritePuFn, "start WritePu.");
    const AddressHold address(*this, request.szPuIP);
    if (!address) return WriteBusy(request.szPuIP, "another write to the address did not end", errPu);

    Connection claimed;
    if (!ClaimForWrite(request, &claimed, errPu)) return false;
    *lPuID = claimed.record->lPuID;
    return WriteClaimed(claimed, request, errPu, restartTicket);
}

bool PuManager::ClaimForWrite(const WritePuRequest& request, Connection* claimed, int* errPu)
{
    if (!ClaimPuByIp(request.szPuIP, &claimed->record))
        return WriteBusy(request.szPuIP, "its restart did not end", errPu);
    if (claimed->record) {
        claimed->adapter = GetObjectByPuType(claimed->record->emPutype);
        if (claimed->adapter && claimed->adapter->IsConnected(claimed->record->lPuHandle, errPu)) {
            *errPu = kErrPuNone;  // a reused connection starts the write as clean as a new one
            return true;
        }
        RemovePu(claimed->record->lPuID);  // dead, and still held: the new login replaces it
    }
    *claimed = ConnectRecord(request.szPuIP, request.lPuPort, errPu, PuRecordUse::Writing);
    if (claimed->record && *errPu == kErrPuNone) return true;
    if (claimed->record) EndWrite(claimed->record, claimed->record->lPuHandle, nullptr);
    ORVEX_LOGF(kWritePuFn, "Connect fail. szPuIP-%s,lPuPort-%d.err:%d", request.szPuIP, request.lPuPort, *errPu);
    return false;
}

bool PuManager::WriteClaimed(const Connection& claimed, const WritePuRequest& request, int* errPu,
                             std::uint32_t* restartTicket)
{
    // The record is this write's until EndWrite: no other thread changes its handle. The
    // adapter may hand out a new handle; it goes into the record when the write ends.
    int lPuHandle = claimed.record->lPuHandle;
    const bool written = claimed.adapter->WritePu(&lPuHandle, request, errPu) && *errPu == kErrPuNone;
    std::uint32_t ticket = 0;
    EndWrite(claimed.record, lPuHandle, written ? &ticket : nullptr);
    ORVEX_LOGF(kWritePuFn, "WritePu %s. szPuIP-%s,lPuPort-%d,szPlatIP-%s,lPlatPort-%d,puid-%s,newname-%s,NewIp-%s.err:%d",
               written ? "success" : "fail", request.szPuIP, request.lPuPort, request.szPlatIP, request.lPlatPort,
               request.szPuId, request.szNewName, request.szNewIp, *errPu);
    if (!written) return false;
    ORVEX_LOGF("PuManager::SetPuOnline", "SetPuOnline. lPuID:%d", claimed.record->lPuID);
    if (restartTicket) *restartTicket = ticket;
    return true;
}

bool PuManager::DisConnect(int lPuID, int* errPu) { return Close(lPuID, errPu, false); }

bool PuManager::CloseRestarted(int lPuID, int* errPu) { return Close(lPuID, errPu, true); }

bool PuManager::Close(int lPuID, int* errPu, bool byRestart)
{
    constexpr const char* kFn = "PuManager::DisConnect";
    ORVEX_LOGF(kFn, "start DisConnect. lPuID:%d", lPuID);

    const PuTarget target = FindPuTarget(lPuID, errPu, kFn);
    if (!target.record) return false;
    ORVEX_LOGF(kFn, "GetObjectByPuType start. type:%d", target.emPutype);
    if (!target.adapter) {
        ORVEX_LOGF(kFn, "GetObjectByPuType fail. lPuID:%d", lPuID);
        return false;
    }
    // The host closes only a connection nobody works on, and holds it meanwhile like a
    // write; a restart closes the one it took.
    bool claimed = false, gone = false;
    std::int32_t lPuHandle = target.lPuHandle;
    {
        const auto deadline = std::chrono::steady_clock::now() + m_waiting.limit;
        std::unique_lock<std::mutex> lock(m_mapLock);
        PuRecord& record = *target.record;
        if (byRestart) {
            claimed = record.use == PuRecordUse::Restarting || record.use == PuRecordUse::Closing;
        } else {
            while (record.use == PuRecordUse::Writing && WaitForUseChange(lock, deadline)) {
            }
            // The write waited for may have replaced the handle, or dropped the record.
            const auto found = m_mapPu.find(lPuID);
            gone = found == m_mapPu.end() || found->second != target.record;
            claimed = !gone && record.use == PuRecordUse::Idle;
            if (claimed) record.use = PuRecordUse::Writing;
        }
        lPuHandle = record.lPuHandle;
    }
    if (gone) {
        *errPu = kErrPuNoRecord;
        ORVEX_LOGF(kFn, "GetPuByPuId fail. lPuID:%d", lPuID);
        return false;
    }
    if (!claimed) {
        *errPu = kErrPuBusy;
        ORVEX_LOGF(kFn, "DisConnect refused, the connection is in use. lPuID:%d", lPuID);
        return false;
    }
    if (!target.adapter->DisConnect(lPuHandle, errPu)) {  // the record stays
        if (!byRestart) EndWrite(target.record, lPuHandle, nullptr);
        return false;
    }

    RemovePu(lPuID);
    ORVEX_LOGF(kFn, "DisConnect end. type:%d", target.emPutype);
    return true;
}

bool PuManager::ReRoot(int lPuID, int* errPu)
{
    constexpr const char* kFn = "PuManager::ReRoot";
    ORVEX_LOGF(kFn, "start ReRoot. lPuID:%d", lPuID);

    const PuTarget target = FindPuTarget(lPuID, errPu, kFn);
    if (!target.record) return false;
    ORVEX_LOGF(kFn, "start GetPuByPuId. puType:%d", target.emPutype);
    if (!target.adapter) return false;
    ORVEX_LOGF(kFn, "start ReRoot. lPuHandle:%d", target.lPuHandle);
    // Whether the device took the restart, by address: a host follows its devices'
    // restarts by these lines.
    if (target.adapter->ReRoot(target.lPuHandle, errPu))
        ORVEX_LOGF(kFn, "ReRoot success. lPuID:%d,szPuIP-%s", lPuID, target.szPuIP);
    else
        ORVEX_LOGF(kFn, "ReRoot fail. lPuID:%d,szPuIP-%s,err:%d", lPuID, target.szPuIP, *errPu);
    return true;  // the request was handed on; a failure shows only in the code
}

bool PuManager::IsUseDomain(int lPuID, int* errPu)
{
    const PuTarget target = FindPuTarget(lPuID, errPu);
    if (!target.adapter) return false;
    target.adapter->IsUseDomain(target.lPuHandle, errPu);
    return true;  // the device's answer is not passed on
}

bool PuManager::SetPuOnline(int lPuID)
{
    std::lock_guard<std::mutex> lock(m_mapLock);
    auto found = m_mapPu.find(lPuID);
    if (found == m_mapPu.end()) return false;
    found->second->bOnline = 1;
    ORVEX_LOGF("PuManager::SetPuOnline", "SetPuOnline. lPuID:%d", lPuID);
    return true;
}

bool PuManager::GetPuOnline(int* lPuID)
{
    constexpr const char* kFn = "PuManager::GetPuOnline";
    ORVEX_LOGF(kFn, "GetPuOnline start. lPuID:%d", *lPuID);

    std::lock_guard<std::mutex> lock(m_mapLock);
    for (const auto& entry : m_mapPu) {
        ORVEX_LOGF(kFn, "GetPuOnline find. lPuID:%d", entry.first);
        if (entry.second->bOnline) {
            *lPuID = entry.first;
            ORVEX_LOGF(kFn, "GetPuOnline success. lPuID:%d", entry.first);
            return true;
        }
    }
    return false;
}

PuManager::RestartTake PuManager::TakePuOnline(int lPuID, std::uint32_t restartTicket)
{
    constexpr const char* kFn = "PuManager::TakePuOnline";
    RestartTake take = RestartTake::Superseded;
    char szPuIP[kAddressTextSize] = {};
    {
        std::lock_guard<std::mutex> lock(m_mapLock);
        auto found = m_mapPu.find(lPuID);
        if (found != m_mapPu.end() && found->second->restartTicket == restartTicket) {
            PuRecord& record = *found->second;
            if (record.use == PuRecordUse::Idle) {
                record.use = PuRecordUse::Restarting;
                record.restartTicket = 0;
                CopyTextZeroFilled(szPuIP, record.szPuIP);
                take = RestartTake::Taken;
            } else if (record.use == PuRecordUse::Writing) {
                take = RestartTake::Busy;  // a write ends: it then supersedes this or leaves it due
            }  // a record restarting or closing is another restart's: nothing left for this one
        }
    }
    if (take == RestartTake::Taken)
        ORVEX_LOGF(kFn, "TakePuOnline success. lPuID:%d,szPuIP-%s", lPuID, szPuIP);
    else if (take == RestartTake::Superseded)
        ORVEX_LOGF(kFn, "TakePuOnline: nothing to restart, a later write or the host has it. lPuID:%d", lPuID);
    return take;
}

void PuManager::ReturnPuOnline(int lPuID)
{
    {
        std::lock_guard<std::mutex> lock(m_mapLock);
        auto found = m_mapPu.find(lPuID);
        if (found == m_mapPu.end() || found->second->use != PuRecordUse::Restarting) return;
        found->second->use = PuRecordUse::Closing;
    }
    m_recordUseChanged.notify_all();
    ORVEX_LOGF("PuManager::ReturnPuOnline", "ReturnPuOnline. lPuID:%d", lPuID);
}
