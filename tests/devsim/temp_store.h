// A store file of its own for one test, named in ORVEX_DEVSIM_STORE for the simulated
// libraries, and removed (with its lock and temporary files) afterwards.
#pragma once
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "ipv4.h"
#include "store.h"

namespace devsim::testing {

class TempStore {
public:
    TempStore()
    {
        static std::atomic<int> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = (std::filesystem::temp_directory_path() /
                 ("devsim-test-" + std::to_string(stamp) + "-" + std::to_string(counter++) + ".ini"))
                    .string();
        SetEnv(path_.c_str());
    }
    ~TempStore()
    {
        std::error_code ec;
        for (const char* suffix : {"", ".lock", ".tmp"}) std::filesystem::remove(path_ + suffix, ec);
        SetEnv("");
    }
    TempStore(const TempStore&) = delete;
    TempStore& operator=(const TempStore&) = delete;

    const std::string& path() const { return path_; }
    Store store() const { return Store(path_); }

    // Adds or replaces devices; fails the test on a store error.
    template <class Change>
    void Edit(Change edit) const
    {
        std::string error;
        Store s(path_);
        if (!s.Update([&](StoreData& data) { edit(data); return true; }, error)) throw std::runtime_error(error);
    }

    StoreData Read() const
    {
        StoreData data;
        std::string error;
        if (!Store(path_).Read(data, error)) throw std::runtime_error(error);
        return data;
    }

    Device Get(const std::string& address) const
    {
        StoreData data = Read();
        Device* device = data.Find(address);
        if (!device) throw std::runtime_error("no device " + address);
        return *device;
    }

    void Add(Device device) const
    {
        Edit([&](StoreData& data) { data.devices[device.address] = device; });
    }

private:
    static void SetEnv(const char* value)
    {
#if defined(_WIN32)
        _putenv_s(kStoreEnvVar, value);
#else
        setenv(kStoreEnvVar, value, 1);
#endif
    }

    std::string path_;
};

}  // namespace devsim::testing
