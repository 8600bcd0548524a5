// PuManager: the registry of open device connections, keyed by the PU ids it hands out.
// It drives the two device adapters and never holds one of its locks while an adapter,
// a device library or the login dialog runs.
#pragma once
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "pu_adapter_factory.h"
#include "pu_base.h"
#include "pu_types.h"

class ILoginPrompt;

class PuManager {
public:
    PuManager();
    // For tests and other hosts: adapters and login prompt of the caller's choice.
    PuManager(PuAdapterFactory factory, ILoginPrompt& loginPrompt);
    ~PuManager();
    PuManager(const PuManager&) = delete;
    PuManager& operator=(const PuManager&) = delete;

    bool Init(int* errPu);
    bool Connect(int* lPuID, const char* szPuIP, int lPuPort, int* errPu);
    bool WritePu(const char* szPuIP, int lPuPort, const char* szPlatIP, int lPlatPort,
                 const char* szPuId, const char* szNewName, const char* szNewIp,
                 int* lPuID, int* errPu);
    bool DisConnect(int lPuID, int* errPu);
    bool ReRoot(int lPuID, int* errPu);
    bool IsUseDomain(int lPuID, int* errPu);
    bool SetPuOnline(int lPuID);
    bool GetPuOnline(int* lPuID);
    void SetLoginInfo(const char* szUserName, const char* szPassword);

    // For the restart workers: take the lowest marked connection that no other worker
    // holds (true, id written out), and give a taken connection back when its
    // disconnect failed so that a later worker takes it again.
    bool TakePuOnline(int* lPuID);
    void ReturnPuOnline(int lPuID);

private:
    // Records are shared so that an operation working on one keeps it alive even when
    // another thread removes it from the map meanwhile.
    using RecordPtr = std::shared_ptr<PuRecord>;

    RecordPtr GetPuByPuId(int lPuID);
    CPuBase* GetObjectByPuType(int emPutype);

    // A PU's record and the adapter of its type, the first two steps of every operation
    // on one PU. When one is missing the code says which: 45 no record (both null), 1 no
    // adapter for the record's type.
    struct PuTarget {
        RecordPtr record;
        CPuBase* adapter = nullptr;
    };
    PuTarget FindPuTarget(int lPuID, int* errPu);
    bool GetPuByIp(const char* szPuIP, PuRecord* record);
    bool RemovePuByIp(const char* szPuIP);
    void RemovePu(int lPuID);

    // The newer protocol's login: credentials from the dialog or from SetLoginInfo.
    struct V7Login {
        char szUserName[kLoginTextSize] = {};
        char szPassword[kLoginTextSize] = {};
        int lPort = 80;
    };
    bool TakeStoredLogin(V7Login* login);

    PuAdapterFactory m_factory;
    ILoginPrompt& m_loginPrompt;

    std::mutex m_adapterLock;  // guards the choice of adapter only
    std::unique_ptr<CPuBase> m_pV5;
    std::unique_ptr<CPuBase> m_pV7;

    std::mutex m_mapLock;  // guards the map, the online flags and the taken set
    std::map<int, RecordPtr> m_mapPu;
    std::set<int> m_takenOnline;  // marked records a restart worker holds

    std::atomic<std::int32_t> m_lPuIdCounter{0};

    std::mutex m_loginLock;  // guards the login mode and the stored login
    int m_nLoginMode = 1;    // 1: ask through the dialog; 0: use the stored login once
    char m_szUserName[kLoginTextSize] = {};
    char m_szPassword[kLoginTextSize] = {};
};
