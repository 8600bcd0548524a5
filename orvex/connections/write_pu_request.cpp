#include "write_pu_request.h"

#include <optional>

#include "bounded_text.h"
#include "ipv4_text.h"
#include "pu_types.h"

int ParseWritePuRequest(const char* szPuIP, std::uint32_t lPuPort, const char* szPlatIP,
                        std::uint32_t lPlatPort, const char* szPuId, const char* szNewName,
                        const char* szNewIp, WritePuRequest* request)
{
    const std::optional<std::uint32_t> platAddr = ParseIpv4NetworkOrder(szPlatIP);
    const std::optional<std::uint32_t> newAddr = ParseIpv4NetworkOrder(szNewIp);
    if (!ParseIpv4NetworkOrder(szPuIP) || !platAddr || !newAddr) return kErrPuBadIpText;
    if (lPuPort > kMaxPortNumber || lPlatPort > kMaxPortNumber) return kErrPuBadSize;

    const auto both = [](std::uint32_t network) { return Ipv4Address{network, NetworkToHost32(network)}; };
    *request = WritePuRequest{szPuIP, static_cast<std::uint16_t>(lPuPort), szPlatIP,
                              static_cast<std::uint16_t>(lPlatPort), TextOrEmpty(szPuId), TextOrEmpty(szNewName),
                              szNewIp, both(*platAddr), both(*newAddr)};
    return kErrPuNone;
}
