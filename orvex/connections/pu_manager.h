// PuManager: the registry of open device connections, keyed by the PU ids it hands out.
// (Interface agreed with the control; the implementation lives beside this file.)
#pragma once

class PuManager {
public:
    PuManager();
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
};
