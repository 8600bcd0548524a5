#include "fake_halcyra.h"

#include <cstring>

#include "halcyra_api.h"

namespace {

FakeHalcyra g_fake;

int ResultOf(const std::string& name)
{
    auto found = g_fake.results.find(name);
    return found == g_fake.results.end() ? 0 : found->second;
}

int GroupResult(const char* name, int group)
{
    std::string perGroup = std::string(name) + ":" + std::to_string(group);
    if (g_fake.results.count(perGroup)) return g_fake.results[perGroup];
    return ResultOf(name);
}

void Record(const std::string& call, int handle)
{
    g_fake.calls.push_back(call);
    g_fake.handlesSeen.push_back(handle);
}

}  // namespace

std::vector<std::uint8_t>& FakeHalcyra::Group(int group, std::size_t size)
{
    std::vector<std::uint8_t>& bytes = groups[group];
    if (bytes.size() < size) bytes.resize(size, 0);
    return bytes;
}

int FakeHalcyra::CountCalls(const std::string& prefix) const
{
    int count = 0;
    for (const std::string& call : calls)
        if (call.compare(0, prefix.size(), prefix) == 0) ++count;
    return count;
}

FakeHalcyra& Halcyra() { return g_fake; }
void ResetHalcyra() { g_fake = FakeHalcyra(); }

extern "C" {

std::int32_t ZRM_InitPu(int* handle)
{
    g_fake.calls.push_back("ZRM_InitPu");
    int result = ResultOf("ZRM_InitPu");
    if (result == 0) *handle = g_fake.nextHandle;
    return result;
}

std::int32_t ZRM_ConnectPU(int handle, const char* user, const char* pass, std::uint32_t addr, int port)
{
    Record("ZRM_ConnectPU", handle);
    g_fake.userWasNull = user == nullptr;
    g_fake.passWasNull = pass == nullptr;
    g_fake.connectAddr = addr;
    g_fake.connectPort = port;
    return ResultOf("ZRM_ConnectPU");
}

std::int32_t ZRM_GetPuParam(int handle, int group, int zero, void* buffer, int size)
{
    Record("ZRM_GetPuParam:" + std::to_string(group) + ":" + std::to_string(size) + ":" + std::to_string(zero),
           handle);
    int result = GroupResult("ZRM_GetPuParam", group);
    if (result == 0) std::memcpy(buffer, g_fake.Group(group, size).data(), size);
    return result;
}

std::int32_t ZRM_SetPuParam(int handle, int group, int zero, void* buffer, int size)
{
    Record("ZRM_SetPuParam:" + std::to_string(group) + ":" + std::to_string(size) + ":" + std::to_string(zero),
           handle);
    int result = GroupResult("ZRM_SetPuParam", group);
    if (result == 0) std::memcpy(g_fake.Group(group, size).data(), buffer, size);
    return result;
}

std::int32_t ZRM_GetPuCapVal(int handle, int cap)
{
    Record("ZRM_GetPuCapVal:" + std::to_string(cap), handle);
    return g_fake.capVal;
}

std::int32_t ZRM_SaveSettings(int handle)
{
    Record("ZRM_SaveSettings", handle);
    return ResultOf("ZRM_SaveSettings");
}

std::int32_t ZRM_IsConnected(int handle)
{
    Record("ZRM_IsConnected", handle);
    return g_fake.connected;
}

std::int32_t ZRM_DisConnectPU(int handle)
{
    Record("ZRM_DisConnectPU", handle);
    return ResultOf("ZRM_DisConnectPU");
}

std::int32_t ZRM_RebootPu(int handle)
{
    Record("ZRM_RebootPu", handle);
    return ResultOf("ZRM_RebootPu");
}

}  // extern "C"
