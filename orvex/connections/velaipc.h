// The two device adapters: CVelaIPCV5 for devices of the older protocol, over halcyra.dll,
// and CVelaIPCV7 for the newer one, over the module's own flat camera exports (which
// forward to ravicore.dll).
#pragma once
#include "pu_base.h"

class CVelaIPCV5 : public CPuBase {
public:
    bool Init(int* errPu) override;
    bool Connet(int* lPuHandle, const char* szPuIP, int lPuPort,
                const char* szUserName, const char* szPassword, int* errPu) override;
    bool WritePu(int* lPuHandle, const WritePuRequest& request, int* errPu) override;
    bool DisConnect(int lPuHandle, int* errPu) override;
    bool IsUseDomain(int lPuHandle, int* errPu) override;
    bool IsConnected(int lPuHandle, int* errPu) override;
    bool ReRoot(int lPuHandle, int* errPu) override;
};

class CVelaIPCV7 : public CPuBase {
public:
    bool Init(int* errPu) override;
    bool Connet(int* lPuHandle, const char* szPuIP, int lPuPort,
                const char* szUserName, const char* szPassword, int* errPu) override;
    bool WritePu(int* lPuHandle, const WritePuRequest& request, int* errPu) override;
    bool DisConnect(int lPuHandle, int* errPu) override;
    bool IsUseDomain(int lPuHandle, int* errPu) override;
    bool IsConnected(int lPuHandle, int* errPu) override;
    bool ReRoot(int lPuHandle, int* errPu) override;
};
