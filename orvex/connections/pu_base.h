// CPuBase: what the registry asks of a device adapter. Every operation takes the
// caller's result-code slot; on failure it writes a code there and returns false.
#pragma once
#include "write_pu_request.h"

class CPuBase {
public:
    virtual ~CPuBase() = default;

    virtual bool Init(int* errPu) = 0;
    // The login (named Connet throughout the module and its log).
    virtual bool Connet(int* lPuHandle, const char* szPuIP, int lPuPort,
                        const char* szUserName, const char* szPassword, int* errPu) = 0;
    virtual bool WritePu(int* lPuHandle, const WritePuRequest& request, int* errPu) = 0;
    virtual bool DisConnect(int lPuHandle, int* errPu) = 0;
    virtual bool IsUseDomain(int lPuHandle, int* errPu) = 0;
    virtual bool IsConnected(int lPuHandle, int* errPu) = 0;
    virtual bool ReRoot(int lPuHandle, int* errPu) = 0;
};
