#include "velaipc.h"

#include <cstdint>

#include "block_fields.h"
#include "bounded_text.h"
#include "diag/log_format.h"
#include "diag/write_log.h"
#include "err_translation.h"
#include "flatapi/flat_api.h"
#include "ipv4_text.h"
#include "library_failure.h"
#include "pu_types.h"
#include "v7_blocks.h"

using namespace v7;

namespace {

constexpr const char* kConnetFn = "CVelaIPCV7::Connet";
constexpr const char* kWritePuFn = "CVelaIPCV7::WritePu";
constexpr std::int32_t kStatusOk = 1;

template <typename T>
FlatArg Arg(T* pointer) { return reinterpret_cast<FlatArg>(pointer); }

// The detector the library calls with seven 32-bit values; nothing to do here.
void DetectConnectionCallback(FlatArg, FlatArg, FlatArg, FlatArg, FlatArg, FlatArg, FlatArg) {}

constexpr LibraryFailure FailWritePu{kWritePuFn, &SetCodeFromErrV7};

void SwapToHostOrder(unsigned char* block, int offset)
{
    PutField(block, offset, NetworkToHost32(GetField<std::uint32_t>(block, offset)));
}

// Whether the connection behind the handle is alive. False with the error value
// when the library could not tell.
bool AskConnected(int lPuHandle, bool* alive, int* errV7)
{
    *errV7 = 1;
    std::uint8_t connected = 0;
    if (IPC_IsConnect(lPuHandle, Arg(&connected), Arg(errV7)) != kStatusOk) return false;
    *alive = connected != 0;
    return true;
}

}  // namespace

bool CVelaIPCV7::Init(int* errPu)
{
    int errV7 = 0;
    IPC_InitDll(Arg("ravicore.dll"), kCameraInitValue, 0, Arg(&errV7));
    if (errV7 == 1) {
        IPC_InitDll(Arg("ravimedia.dll"), kMediaInitValue, 0, Arg(&errV7));
        if (errV7 == 1) return true;
    }
    SetCodeFromErrV7(errPu, errV7);
    return false;
}

bool CVelaIPCV7::Connet(int* lPuHandle, const char* szPuIP, int lPuPort,
                        const char* szUserName, const char* szPassword, int* errPu)
{
    const char* user = TextOrEmpty(szUserName);
    const char* pass = TextOrEmpty(szPassword);
    const std::uint32_t address = HostToNetwork32(InetAddr(szPuIP));  // host order
    ORVEX_LOG(kConnetFn, "start Connet.");

    *lPuHandle = IPC_CreateHandle(static_cast<FlatArg>(address), lPuPort, Arg(user), Arg(pass));

    int errV7 = 1;
    if (IPC_Login(Arg(lPuHandle), Arg(user), Arg(pass), Arg(&errV7)) == 0) {
        SetCodeFromErrV7(errPu, errV7);
        ORVEX_LOGF(kConnetFn, "IPC_Login fail. name-%s,password-%s.errV7:%d, errPu:%d", user, MaskedPassword(pass),
                   errV7, *errPu);
        return false;
    }

    // Through the module's own export, which counts the call while the library runs (and
    // answers 3 when the library lacks the function: connected without a detector).
    const std::int32_t status = IPC_AddConnectDetect(Arg(lPuHandle), kDetectInterval, kDetectMode,
                                                     reinterpret_cast<FlatArg>(&DetectConnectionCallback), 0,
                                                     Arg(&errV7));
    if ((status & 0xFF) != 0) {  // the library answers with an 8-bit status
        ORVEX_LOG(kConnetFn, "Connet end.");
        return true;
    }
    SetCodeFromErrV7(errPu, errV7);
    ORVEX_LOGF(kConnetFn, "IPC_AddConnectDetect fail. errV7:%d, errPu:%d", errV7, *errPu);
    return false;
}

bool CVelaIPCV7::WritePu(int* lPuHandle, const WritePuRequest& request, int* errPu)
{
    ORVEX_LOGF(kWritePuFn, "start WritePu. szPuIP-%s,lPuPort-%d.", request.szPuIP, request.lPuPort);
    int errV7 = 0;

    unsigned char quor[kQuorSize] = {};
    if (IPC_GetQuor(Arg(lPuHandle), Arg(quor), kQuorSize, Arg(&errV7)) != kStatusOk)
        return FailWritePu(errPu, errV7, "IPC_GetQuor fail. errV7:%d, errPu:%d,puHandle-%d", *lPuHandle);
    PutField(quor, kQuorPlatPort, request.lPlatPort);
    PutField(quor, kQuorPlatAddr, request.platAddr.hostOrder);
    CopyTextZeroFilled(TextField(quor, kQuorPuId), kPuIdFieldSize, request.szPuId);
    if (IPC_SetQuor(Arg(lPuHandle), Arg(quor), kQuorSize, Arg(&errV7)) != kStatusOk)
        return FailWritePu(errPu, errV7, "IPC_SetQuor fail. errV7:%d, errPu:%d");

    unsigned char deviceInfo[kDeviceInfoSize] = {};
    if (IPC_GetDeviceInfo(Arg(lPuHandle), Arg(deviceInfo), 0, Arg(&errV7)) != kStatusOk)
        return FailWritePu(errPu, errV7, "IPC_GetDeviceInfo fail. errV7:%d, errPu:%d");
    CopyTextTerminated(TextField(deviceInfo, kDeviceInfoName), kNameFieldSize, request.szNewName);
    if (IPC_SetDeviceInfo(Arg(lPuHandle), Arg(deviceInfo), 0, Arg(&errV7)) != kStatusOk)
        return FailWritePu(errPu, errV7, "IPC_SetDeviceInfo fail. errV7:%d, errPu:%d");

    unsigned char ipInfo[kIpInfoSize] = {};
    if (IPC_GetIpInfo(Arg(lPuHandle), Arg(ipInfo), kIpInfoSize, Arg(&errV7)) != kStatusOk)
        return FailWritePu(errPu, errV7, "IPC_GetIpInfo fail. errV7:%d, errPu:%d");
    PutField(ipInfo, kIpInfoDeviceAddr, request.newAddr.hostOrder);
    SwapToHostOrder(ipInfo, kIpInfoSwapped1);
    SwapToHostOrder(ipInfo, kIpInfoSwapped2);
    if (IPC_SetIpInfo(Arg(lPuHandle), Arg(ipInfo), kIpInfoSize, Arg(&errV7)) != kStatusOk)
        return FailWritePu(errPu, errV7, "IPC_SetIpInfo fail. errV7:%d, errPu:%d");

    ORVEX_LOG(kWritePuFn, "WritePu end.");
    return true;
}

bool CVelaIPCV7::DisConnect(int lPuHandle, int* errPu)
{
    int handle = lPuHandle;  // the library takes the address of a handle variable
    int errV7 = 1;
    bool alive = false;
    if (AskConnected(handle, &alive, &errV7)) {
        if (!alive) return true;  // nothing to close
        if (IPC_DelConnectDetect(Arg(&handle), Arg(&errV7)) == kStatusOk &&
            IPC_Logout(Arg(&handle), Arg(&errV7)) == kStatusOk)
            return true;
    }
    SetCodeFromErrV7(errPu, errV7);
    return false;
}

bool CVelaIPCV7::IsUseDomain(int /*lPuHandle*/, int* /*errPu*/)
{
    return true;  // the newer protocol has no such setting to read
}

bool CVelaIPCV7::IsConnected(int lPuHandle, int* errPu)
{
    int errV7 = 1;
    bool alive = false;
    if (AskConnected(lPuHandle, &alive, &errV7)) return alive;
    SetCodeFromErrV7(errPu, errV7);
    return false;
}

bool CVelaIPCV7::ReRoot(int lPuHandle, int* errPu)
{
    int handle = lPuHandle;
    int errV7 = 1;
    bool alive = false;
    if (AskConnected(handle, &alive, &errV7)) {
        if (!alive) return false;  // the code stays as it was
        if (IPC_SystemReboot(Arg(&handle), Arg(&errV7)) == kStatusOk) return true;
    }
    SetCodeFromErrV7(errPu, errV7);
    return false;
}
