#include "velaipc.h"

#include <cstring>

#include "block_fields.h"
#include "bounded_text.h"
#include "charset_list.h"
#include "diag/write_log.h"
#include "err_translation.h"
#include "halcyra_api.h"
#include "ipv4_text.h"
#include "library_failure.h"
#include "pu_types.h"
#include "v5_groups.h"

using namespace v5;

namespace {

constexpr const char* kConnetFn = "CVelaIPCV5::Connet";
constexpr const char* kWritePuFn = "CVelaIPCV5::WritePu";

constexpr LibraryFailure FailWritePu{kWritePuFn, &SetCodeFromErrV5};

}  // namespace

bool CVelaIPCV5::Init(int* /*errPu*/)
{
    return true;  // the PU library needs no set-up
}

bool CVelaIPCV5::Connet(int* lPuHandle, const char* szPuIP, int lPuPort,
                        const char* szUserName, const char* szPassword, int* errPu)
{
    ORVEX_LOG(kConnetFn, "start init.");

    *lPuHandle = 0;
    int result = ZRM_InitPu(lPuHandle);
    if (result != 0) {
        ORVEX_LOG(kConnetFn, "ZRM_InitPu err.");
        SetCodeFromErrV5(errPu, result);
        return false;
    }

    // The library takes null for "no credentials".
    const char* user = (szUserName && szUserName[0]) ? szUserName : nullptr;
    const char* pass = (szPassword && szPassword[0]) ? szPassword : nullptr;

    ORVEX_LOGF(kConnetFn, "IPC_Login start. ip-%s.", TextOrEmpty(szPuIP));
    result = ZRM_ConnectPU(*lPuHandle, user, pass, InetAddr(szPuIP), lPuPort);
    if (result == 0) {
        ORVEX_LOG(kConnetFn, "Connet end.");
        return true;
    }
    SetCodeFromErrV5(errPu, result);
    ORVEX_LOGF(kConnetFn, "ZRM_ConnectPU err. ip-%s.errV5:%d, errPu:%d", TextOrEmpty(szPuIP), result, *errPu);
    return false;
}

bool CVelaIPCV5::WritePu(int* lPuHandle, const WritePuRequest& request, int* errPu)
{
    ORVEX_LOGF(kWritePuFn, "start WritePu. szPuIP-%s,lPuPort-%d.", request.szPuIP, request.lPuPort);
    const int handle = *lPuHandle;

    unsigned char nms[kNmsSize] = {};
    int result = ZRM_GetPuParam(handle, emPuConfig_Nms, 0, nms, sizeof nms);
    if (result != 0) return FailWritePu(errPu, result, "ZRM_GetPuParam emPuConfig_Nms fail.errV5:%d, errPu:%d");
    PutField(nms, kNmsPlatAddr, request.platAddr.networkOrder);
    result = ZRM_SetPuParam(handle, emPuConfig_Nms, 0, nms, sizeof nms);
    // From here the V5 lines label the library's result "errV7"; kept as the log has always read.
    if (result != 0) return FailWritePu(errPu, result, "ZRM_SetPuParam emPuConfig_Nms fail.errV7:%d, errPu:%d");

    unsigned char sysPub[kSysPubSize] = {};
    result = ZRM_GetPuParam(handle, emPuConfig_SysPub, 0, sysPub, sizeof sysPub);
    if (result != 0) return FailWritePu(errPu, result, "ZRM_GetPuParam emPuConfig_SysPub fail.errV7:%d, errPu:%d");
    CopyTextZeroFilled(TextField(sysPub, kSysPubPuId), kPuIdFieldSize, request.szPuId);
    CopyTextZeroFilled(TextField(sysPub, kSysPubPuId2), kPuIdFieldSize, request.szPuId);
    PutField(sysPub, kSysPubDeviceAddr, request.newAddr.networkOrder);
    PutField(sysPub, kSysPubPlatPort, request.lPlatPort);
    PutField(sysPub, kSysPubPlatAddr, request.platAddr.networkOrder);
    const bool utf8 = CharsetListNamesUtf8(TextField(sysPub, kSysPubCharsets), kCharsetsFieldSize);
    if (utf8) CopyTextZeroFilled(TextField(sysPub, kSysPubCharsetInUse), kCharsetInUseSize, "UTF-8");
    if (sysPub[kSysPubSetting275] == 0) sysPub[kSysPubSetting275] = kSetting275Default;
    result = ZRM_SetPuParam(handle, emPuConfig_SysPub, 0, sysPub, sizeof sysPub);
    if (result != 0) return FailWritePu(errPu, result, "ZRM_SetPuParam emPuConfig_SysPub fail.errV7:%d, errPu:%d");

    unsigned char sys[kSysSize] = {};
    result = ZRM_GetPuParam(handle, emPuConfig_Sys, 0, sys, sizeof sys);
    if (result != 0) return FailWritePu(errPu, result, "ZRM_GetPuParam emPuConfig_Sys fail.errV7:%d, errPu:%d");
    if (ZRM_GetPuCapVal(handle, kCapNameCopy) == 1 && utf8) {
        // strncpy-like: at most 64 bytes, the rest of the 64 zero-filled.
        char* name = TextField(sys, kSysName);
        std::memset(name, 0, kNameCopySize);
        for (int i = 0; i < kNameCopySize && request.szNewName[i] != '\0'; ++i) name[i] = request.szNewName[i];
    } else {
        CopyTextTerminated(TextField(sys, kSysName), kNameFieldSize, request.szNewName);
    }
    result = ZRM_SetPuParam(handle, emPuConfig_Sys, 0, sys, sizeof sys);
    if (result != 0) return FailWritePu(errPu, result, "ZRM_SetPuParam emPuConfig_Sys fail.errV7:%d, errPu:%d");

    result = ZRM_SaveSettings(handle);
    // "SaveSettingss" (double s) kept: the text is what searches of existing logs look for.
    if (result != 0) return FailWritePu(errPu, result, "ZRM_SaveSettingss fail.errV7:%d, errPu:%d");

    ORVEX_LOG(kWritePuFn, "WritePu end.");
    return true;
}

bool CVelaIPCV5::DisConnect(int lPuHandle, int* errPu)
{
    if (ZRM_IsConnected(lPuHandle) == 0) {
        *errPu = kErrPuNone;  // nothing to close
        return true;
    }
    int result = ZRM_DisConnectPU(lPuHandle);
    SetCodeFromErrV5(errPu, result);
    return result == 0;
}

bool CVelaIPCV5::IsUseDomain(int lPuHandle, int* errPu)
{
    if (ZRM_IsConnected(lPuHandle) == 0) {
        *errPu = kErrPuNone;
        return false;
    }
    unsigned char domain[kDomainSize] = {};
    int result = ZRM_GetPuParam(lPuHandle, emPuConfig_Domain, 0, domain, sizeof domain);
    if (result != 0) {
        SetCodeFromErrV5(errPu, result);
        return false;
    }
    return domain[kDomainUseFlag] == 1;
}

bool CVelaIPCV5::IsConnected(int lPuHandle, int* errPu)
{
    if (ZRM_IsConnected(lPuHandle) != 0) return true;
    *errPu = kErrPuNone;
    return false;
}

bool CVelaIPCV5::ReRoot(int lPuHandle, int* errPu)
{
    int result = ZRM_RebootPu(lPuHandle);
    if (result == 0) return true;
    SetCodeFromErrV5(errPu, result);
    return false;
}
