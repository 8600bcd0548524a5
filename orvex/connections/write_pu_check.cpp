#include "write_pu_check.h"

#include "ipv4_text.h"
#include "pu_types.h"

int CheckWritePuArguments(const char* szPuIP, std::uint32_t lPuPort, const char* szPlatIP,
                          std::uint32_t lPlatPort, const char* szNewIp)
{
    for (const char* address : {szPuIP, szPlatIP, szNewIp})
        if (!ParseIpv4NetworkOrder(address)) return kErrPuBadIpText;
    if (lPuPort > kMaxPortNumber || lPlatPort > kMaxPortNumber) return kErrPuBadSize;
    return kErrPuNone;
}
