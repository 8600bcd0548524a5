// A registry over two scripted adapters and a scripted login dialog.
#pragma once
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "fake_adapter.h"
#include "fake_login_prompt.h"
#include "good_request.h"
#include "pu_manager.h"
#include "recording_log.h"

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearRecordedLog();
        v5->connetResult = false;  // most devices here speak the newer protocol
        v5->connetCode = 28;
        v7->firstHandle = 200;
        registry = std::make_unique<PuManager>(FakeProtocols(v5, v7, releases), prompt);
        int code = -5;
        ASSERT_TRUE(registry->Init(&code));
        ASSERT_EQ(code, 0);
    }

    // Connect and return the new PU id (0 when it failed).
    int ConnectTo(const char* ip, int port = 5510)
    {
        int id = 0, code = 1;
        return registry->Connect(&id, ip, port, &code) ? id : 0;
    }

    bool Write(const char* ip, int* id, int* code, std::uint32_t* ticket = nullptr)
    {
        return registry->WritePu(GoodRequest(ip, 5510, "192.168.1.10", 9000, "PU-0001", "cam", ip), id, code, ticket);
    }

    // A registry whose waits for a connection in use end after `limit`, serving with `serve`.
    void UseWaitLimit(std::chrono::milliseconds limit, std::function<void()> serve = nullptr)
    {
        registry = std::make_unique<PuManager>(FakeProtocols(v5, v7, releases), prompt, PuWaiting{limit, std::move(serve)});
        int code = -5;
        ASSERT_TRUE(registry->Init(&code));
    }

    std::shared_ptr<AdapterScript> v5 = std::make_shared<AdapterScript>();
    std::shared_ptr<AdapterScript> v7 = std::make_shared<AdapterScript>();
    std::shared_ptr<std::atomic<int>> releases = std::make_shared<std::atomic<int>>(0);
    FakeLoginPrompt prompt;
    std::unique_ptr<PuManager> registry;
};
