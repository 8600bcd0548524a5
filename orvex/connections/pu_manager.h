// PuManager: the registry of open device connections, keyed by the PU ids it hands out.
// It drives one device adapter per protocol and never holds one of its locks while an
// adapter, a device library or the login dialog runs.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "pu_base.h"
#include "pu_protocols.h"
#include "pu_types.h"
#include "write_pu_request.h"

class ILoginPrompt;

// How a write or the host's DisConnect waits for a connection that another write or a
// restart is using. The wait ends after `limit` (the call then fails with kErrPuBusy).
// `serve`, when given, runs every few milliseconds of a wait, outside the registry's
// locks: the module serves there what other threads send to the waiting host thread.
struct PuWaiting {
    std::chrono::milliseconds limit{30000};
    std::function<void()> serve;
};

class PuManager {
public:
    // The protocols, the login prompt and the waits come from the module's composition
    // root (or a test).
    PuManager(PuProtocols protocols, ILoginPrompt& loginPrompt, PuWaiting waiting = {});
    ~PuManager();
    PuManager(const PuManager&) = delete;
    PuManager& operator=(const PuManager&) = delete;

    bool Init(int* errPu);
    bool Connect(int* lPuID, const char* szPuIP, int lPuPort, int* errPu);
    // Writes one device. One write per address runs at a time. On success with
    // `restartTicket`, the step that ends the write also marks the connection online and
    // hands out the ticket of its restart (superseding an earlier write's), so no restart
    // can take the connection between the end of the write and its mark.
    bool WritePu(const WritePuRequest& request, int* lPuID, int* errPu, std::uint32_t* restartTicket = nullptr);
    // The host's close: refused with kErrPuBusy while a write or a restart uses the connection.
    bool DisConnect(int lPuID, int* errPu);
    bool ReRoot(int lPuID, int* errPu);
    bool IsUseDomain(int lPuID, int* errPu);
    // Marks a connection online (a write marks its own: see WritePu).
    bool SetPuOnline(int lPuID);
    bool GetPuOnline(int* lPuID);
    void SetLoginInfo(const char* szUserName, const char* szPassword);

    // For restarts. Each successful write schedules a restart of its own connection,
    // identified by the ticket that WritePu handed out.
    enum class RestartTake {
        Taken,       // the restart may run: the connection is its own until it ends
        Busy,        // a write is using the connection now: try again a little later
        Superseded,  // a later write owns the restart, or the connection is gone
    };
    RestartTake TakePuOnline(int lPuID, std::uint32_t restartTicket);
    // The restart's close of the connection it took (Restarting), or a retry of it
    // (Closing). The record goes when the close succeeds.
    bool CloseRestarted(int lPuID, int* errPu);
    // After a taken connection's close failed: it is never written again, and its close
    // is retried by the restart alone (CloseRestarted).
    void ReturnPuOnline(int lPuID);

private:
    // Records are shared so that an operation working on one keeps it alive even when
    // another thread removes it from the map meanwhile.
    using RecordPtr = std::shared_ptr<PuRecord>;
    // A connection and the adapter that serves it.
    struct Connection {
        RecordPtr record;
        CPuBase* adapter = nullptr;
    };

    CPuBase* GetObjectByPuType(int emPutype);

    // A PU's record and the adapter of its type, the first two steps of every operation
    // on one PU, with the record's handle and type as they were when it was found (read
    // under the map lock). When one is missing the code says which: 45 no record (both
    // null; logged under `logFn` when given), 1 no adapter for the record's type.
    struct PuTarget : Connection {
        std::int32_t lPuHandle = 0;
        std::int32_t emPutype = 0;
        char szPuIP[kAddressTextSize] = {};
    };
    PuTarget FindPuTarget(int lPuID, int* errPu, const char* logFn = nullptr);
    // One wait for a change of a record's use (or a slice of it, after which the waiting
    // is served); false once the deadline has passed. Under m_mapLock.
    bool WaitForUseChange(std::unique_lock<std::mutex>& lock, std::chrono::steady_clock::time_point deadline);
    // A write's claim on one connection (use Writing), taken once and held until EndWrite:
    // the address's live one, used again without a new login, else a new login's,
    // registered already claimed. One that a restart works on is waited for and then
    // replaced; a dead one is dropped while still claimed. False (logged) without a claim.
    bool ClaimForWrite(const WritePuRequest& request, Connection* claimed, int* errPu);
    // The address's connection that may be written, waiting (bounded: m_waiting.limit)
    // while a restart or another write works on it; null when there is none, false when
    // it stayed in use.
    bool ClaimPuByIp(const char* szPuIP, RecordPtr* claimed);
    // Writes the device over the claimed connection and ends the claim.
    bool WriteClaimed(const Connection& claimed, const WritePuRequest& request, int* errPu,
                      std::uint32_t* restartTicket);
    // Ends a write's hold. With `restartTicket`, the write succeeded: the record is
    // marked online and gets the write's restart ticket in the same step.
    void EndWrite(const RecordPtr& record, std::int32_t lPuHandle, std::uint32_t* restartTicket);
    void RemovePuByIp(const char* szPuIP);
    void RemovePu(int lPuID);
    // One write per address at a time, from before its login to its end: a second writer
    // of the same address would log in again and drop the first one's record.
    class AddressHold;
    // Logs in with the protocols in turn and registers the connection with `use`.
    Connection ConnectRecord(const char* szPuIP, int lPuPort, int* errPu, PuRecordUse use);
    Connection Register(std::int32_t emPutype, CPuBase* adapter, const char* szPuIP, int lPuHandle, PuRecordUse use);
    bool Close(int lPuID, int* errPu, bool byRestart);

    // One protocol's login texts and port; an asked login's from the dialog or SetLoginInfo.
    struct Login {
        char szUserName[kLoginTextSize] = {};
        char szPassword[kLoginTextSize] = {};
        int lPort = 0;
    };
    // False when the operator cancelled the dialog.
    bool PrepareLogin(const PuProtocol& protocol, const char* szPuIP, int lPuPort, Login* login);
    bool TakeStoredLogin(Login* login);

    ILoginPrompt& m_loginPrompt;

    const PuProtocols m_protocols;                     // in the order they are tried
    std::mutex m_adapterLock;                          // guards the choice of adapter only
    std::vector<std::unique_ptr<CPuBase>> m_adapters;  // one per protocol, made by Init

    std::mutex m_mapLock;  // guards the map and every record's fields
    std::condition_variable m_recordUseChanged;
    std::map<int, RecordPtr> m_mapPu;
    std::set<std::string> m_addressesWritten;  // addresses a write holds (AddressHold)
    std::uint32_t m_lastRestartTicket = 0;
    const PuWaiting m_waiting;

    std::atomic<std::int32_t> m_lPuIdCounter{0};

    std::mutex m_loginLock;  // guards the login mode and the stored login
    int m_nLoginMode = 1;    // 1: ask through the dialog; 0: use the stored login once
    char m_szUserName[kLoginTextSize] = {};
    char m_szPassword[kLoginTextSize] = {};
};
