#include "pu_manager.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "bounded_text.h"
#include "diag/log_format.h"
#include "diag/write_log.h"
#include "login_prompt.h"
#include "wide_to_utf8.h"

namespace {

constexpr int kIdOk = 1;            // the login dialog's IDOK
constexpr int kV7DefaultPort = 80;  // the newer protocol's login port

bool SameIp(const PuRecord& record, const char* szPuIP)
{
    return std::strcmp(record.szPuIP, szPuIP) == 0;
}

}  // namespace

PuManager::PuManager(PuAdapterFactory factory, ILoginPrompt& loginPrompt, PuWaiting waiting)
    : m_factory(std::move(factory)), m_loginPrompt(loginPrompt), m_waiting(std::move(waiting))
{
}

PuManager::~PuManager()
{
    // Open connections are not closed; the libraries of the newer protocol are released.
    m_pV5.reset();
    if (m_pV7) {
        if (m_factory.releaseV7Libraries) m_factory.releaseV7Libraries();
        m_pV7.reset();
    }
}

bool PuManager::Init(int* errPu)
{
    *errPu = kErrPuNone;
    auto setUp = [&](std::unique_ptr<CPuBase>& slot, const std::function<std::unique_ptr<CPuBase>()>& make) {
        CPuBase* adapter = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_adapterLock);
            slot = make ? make() : nullptr;
            adapter = slot.get();
        }
        if (!adapter || !adapter->Init(errPu) || *errPu != kErrPuNone) {
            *errPu = kErrPuInternal;
            return false;
        }
        return true;
    };
    return setUp(m_pV5, m_factory.makeV5) && setUp(m_pV7, m_factory.makeV7);
}

CPuBase* PuManager::GetObjectByPuType(int emPutype)
{
    std::lock_guard<std::mutex> lock(m_adapterLock);
    switch (emPutype) {
    case emPutype_V5: return m_pV5.get();
    case emPutype_V7: return m_pV7.get();
    default: return nullptr;
    }
}

PuManager::PuTarget PuManager::FindPuTarget(int lPuID, int* errPu)
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
        RecordPtr record;
        for (const auto& entry : m_mapPu) {
            if (entry.second->use != PuRecordUse::Closing && SameIp(*entry.second, szPuIP)) {
                record = entry.second;
                break;
            }
        }
        if (!record) return true;
        if (record->use == PuRecordUse::Idle) {
            record->use = PuRecordUse::Writing;
            *claimed = std::move(record);
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
    AddressHold(PuManager& registry, const char* szPuIP)
        : m_registry(registry), m_szPuIP(szPuIP), m_held(registry.HoldAddress(szPuIP))
    {
    }
    ~AddressHold()
    {
        if (m_held) m_registry.ReleaseAddress(m_szPuIP);
    }
    AddressHold(const AddressHold&) = delete;
    AddressHold& operator=(const AddressHold&) = delete;
    explicit operator bool() const { return m_held; }

private:
    PuManager& m_registry;
    const char* const m_szPuIP;
    const bool m_held;
};

bool PuManager::HoldAddress(const char* szPuIP)
{
    const auto deadline = std::chrono::steady_clock::now() + m_waiting.limit;
    std::unique_lock<std::mutex> lock(m_mapLock);
    while (m_addressesWritten.count(szPuIP) != 0) {
        if (!WaitForUseChange(lock, deadline)) return false;
    }
    m_addressesWritten.insert(szPuIP);
    return true;
}

void PuManager::ReleaseAddress(const char* szPuIP)
{
    {
        std::lock_guard<std::mutex> lock(m_mapLock);
        m_addressesWritten.erase(szPuIP);
    }
    m_recordUseChanged.notify_all();
}

bool PuManager::RemovePuByIp(const char* szPuIP)
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
    return true;
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
    ORVEX_LOGF("PuManager::SetLoginInfo", "SetLoginInfo start. lPuID:%d,name-%s.pass-%s", 0,
                               TextOrEmpty(szUserName), MaskedPassword(szPassword));
}

bool PuManager::TakeStoredLogin(V7Login* login)
{
    std::lock_guard<std::mutex> lock(m_loginLock);
    if (m_nLoginMode != 0) return false;
    m_nLoginMode = 1;  // one login per SetLoginInfo
    CopyTextZeroFilled(login->szUserName, m_szUserName);
    CopyTextZeroFilled(login->szPassword, m_szPassword);
    login->lPort = kV7DefaultPort;  // whatever port the caller gave
    return true;
}

bool PuManager::Connect(int* lPuID, const char* szPuIP, int lPuPort, int* errPu)
{
    RecordPtr record = ConnectRecord(szPuIP, lPuPort, errPu, PuRecordUse::Idle);
    if (record) *lPuID = record->lPuID;
    return record != nullptr;
}

PuManager::RecordPtr PuManager::ConnectRecord(const char* szPuIP, int lPuPort, int* errPu, PuRecordUse use)
{
    constexpr const char* kFn = "PuManager::Connect";
    szPuIP = TextOrEmpty(szPuIP);
    *errPu = kErrPuNone;
    int emPutype = emPutype_V5;
    int lPuHandle = 0;

    // The older protocol first, always without credentials on the caller's port.
    bool v5Connected = false;
    if (CPuBase* v5 = GetObjectByPuType(emPutype_V5))
        v5Connected = v5->Connet(&lPuHandle, szPuIP, lPuPort, "", "", errPu);
    else
        *errPu = kErrPuInternal;

    if (!v5Connected || *errPu != kErrPuNone) {
        // "connnect" (three n) kept here and below: the text is what searches of existing logs look for.
        ORVEX_LOGF_CUT(128, kFn, "v7 connnect.ip:%s, port:%d", szPuIP, lPuPort);
        V7Login login;
        if (TakeStoredLogin(&login)) {
            ORVEX_LOGF_CUT(128, kFn, "v7 batch connnect.ip:%s, port:%d", szPuIP, lPuPort);
        } else {
            if (m_loginPrompt.DoModal() != kIdOk) {
                ORVEX_LOG(kFn, "cancel login.");
                return nullptr;  // with the code the older protocol left; nothing registered
            }
            WideToUtf8(m_loginPrompt.UserName(), login.szUserName, sizeof login.szUserName);
            WideToUtf8(m_loginPrompt.Password(), login.szPassword, sizeof login.szPassword);
            login.lPort = m_loginPrompt.Port();
        }

        *errPu = kErrPuNone;
        emPutype = emPutype_V7;
        bool v7Connected = false;
        if (CPuBase* v7 = GetObjectByPuType(emPutype_V7))
            v7Connected = v7->Connet(&lPuHandle, szPuIP, login.lPort, login.szUserName, login.szPassword, errPu);
        else
            *errPu = kErrPuInternal;
        if (!v7Connected || *errPu != kErrPuNone) {
            ORVEX_LOGF_CUT(128, kFn, "login fail.ip:%s, port:%d, name:%s, pass:%s", szPuIP,
                                            login.lPort, login.szUserName, MaskedPassword(login.szPassword));
        }
        if (!v7Connected) return nullptr;
    }

    ORVEX_LOGF_CUT(128, kFn, "login success.ip:%s, emPutype:%d,lPuHandle-%d", szPuIP, emPutype,
                                    lPuHandle);
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
    return record;
}

bool PuManager::WritePu(const WritePuRequest& request, int* lPuID, int* errPu, std::uint32_t* restartTicket)
{
    constexpr const char* kFn = "PuManager::WritePu";
    const char* szPuIP = request.szPuIP;
    ORVEX_LOG(kFn, "start WritePu.");

    const auto busy = [&](const char* what) {
        *errPu = kErrPuBusy;
        ORVEX_LOGF(kFn, "WritePu fail, %s. szPuIP-%s.err:%d", what, szPuIP, *errPu);
        return false;
    };
    const AddressHold address(*this, szPuIP);
    if (!address) return busy("another write to the address did not end");

    // A live connection to the address is used again without a new login. The write
    // holds it until it ends, so that no restart reboots the device under it; one that a
    // restart is working on is waited for and then replaced by a new login.
    RecordPtr claimed;
    if (!ClaimPuByIp(szPuIP, &claimed)) return busy("its restart did not end");
    if (claimed) {
        CPuBase* adapter = GetObjectByPuType(claimed->emPutype);
        if (adapter && adapter->IsConnected(claimed->lPuHandle, errPu)) {
            *errPu = kErrPuNone;  // a reused connection starts the write as clean as a new one
        } else {
            RemovePu(claimed->lPuID);  // dead, and still held: the new login below replaces it
            claimed.reset();
        }
    }
    if (!claimed) {
        claimed = ConnectRecord(szPuIP, request.lPuPort, errPu, PuRecordUse::Writing);
        if (!claimed || *errPu != kErrPuNone) {
            if (claimed) EndWrite(claimed, claimed->lPuHandle, nullptr);
            ORVEX_LOGF(kFn, "Connect fail. szPuIP-%s,lPuPort-%d.err:%d", szPuIP,
                                            request.lPuPort, *errPu);
            return false;
        }
    }
    *lPuID = claimed->lPuID;

    // The record is this write's until EndWrite: no other thread changes its handle or type.
    std::int32_t lPuHandle = claimed->lPuHandle;
    CPuBase* adapter = GetObjectByPuType(claimed->emPutype);
    if (!adapter) {
        *errPu = kErrPuInternal;
        EndWrite(claimed, lPuHandle, nullptr);
        ORVEX_LOG(kFn, "GetObjectByPuType.");
        return false;
    }

    // The adapter may hand out a new handle; it goes into the record when the write ends.
    const bool written = adapter->WritePu(&lPuHandle, request, errPu) && *errPu == kErrPuNone;
    std::uint32_t ticket = 0;
    EndWrite(claimed, lPuHandle, written ? &ticket : nullptr);
    const char* format = written
        ? "WritePu success. szPuIP-%s,lPuPort-%d,szPlatIP-%s,lPlatPort-%d,puid-%s,newname-%s,NewIp-%s.err:%d"
        : "WritePu fail. szPuIP-%s,lPuPort-%d,szPlatIP-%s,lPlatPort-%d,puid-%s,newname-%s,NewIp-%s.err:%d";
    ORVEX_LOGF(kFn, format, szPuIP, request.lPuPort, request.szPlatIP, request.lPlatPort,
                                    request.szPuId, request.szNewName, request.szNewIp, *errPu);
    if (!written) return false;
    ORVEX_LOGF("PuManager::SetPuOnline", "SetPuOnline. lPuID:%d", *lPuID);
    if (restartTicket) *restartTicket = ticket;
    return true;
}

bool PuManager::DisConnect(int lPuID, int* errPu) { return Close(lPuID, errPu, false); }

bool PuManager::CloseRestarted(int lPuID, int* errPu) { return Close(lPuID, errPu, true); }

bool PuManager::Close(int lPuID, int* errPu, bool byRestart)
{
    constexpr const char* kFn = "PuManager::DisConnect";
    ORVEX_LOGF(kFn, "start DisConnect. lPuID:%d", lPuID);

    const PuTarget target = FindPuTarget(lPuID, errPu);
    if (!target.record) {
        ORVEX_LOGF(kFn, "GetPuByPuId fail. lPuID:%d", lPuID);
        return false;
    }
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

    const PuTarget target = FindPuTarget(lPuID, errPu);
    if (!target.record) {
        ORVEX_LOGF(kFn, "GetPuByPuId fail. lPuID:%d", lPuID);
        return false;
    }
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
    char szPuIP[kIpTextSize] = {};
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
