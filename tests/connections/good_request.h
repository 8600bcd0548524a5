// Write requests of arguments a test knows the parser accepts (the test fails where it does not).
#pragma once
#include <gtest/gtest.h>

#include <cstdint>

#include "pu_types.h"
#include "write_pu_request.h"

inline WritePuRequest GoodRequest(const char* puIp, std::uint32_t puPort, const char* platIp, std::uint32_t platPort,
                                  const char* puId, const char* newName, const char* newIp)
{
    WritePuRequest request;
    EXPECT_EQ(kErrPuNone, ParseWritePuRequest(puIp, puPort, platIp, platPort, puId, newName, newIp, &request));
    return request;
}
