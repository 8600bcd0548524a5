#include "store.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#include "file_lock.h"

namespace devsim {
namespace {

std::mutex& ProcessLock()
{
    static std::mutex lock;
    return lock;
}

}  // namespace

std::string StorePathFromEnvironment()
{
    const char* value = std::getenv(kStoreEnvVar);
    return value && *value ? value : kDefaultStoreName;
}

Store::Store(std::string path) : path_(std::move(path)) {}

bool Store::Read(StoreData& out, std::string& error) const
{
    try {
        std::lock_guard<std::mutex> hold(ProcessLock());
        FileLock file_lock(path_ + ".lock");
        return ReadLocked(out, error);
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

bool Store::Update(const std::function<bool(StoreData&)>& change, std::string& error)
{
    try {
        std::lock_guard<std::mutex> hold(ProcessLock());
        FileLock file_lock(path_ + ".lock");
        StoreData data;
        if (!ReadLocked(data, error)) return false;
        if (!change(data)) return true;
        return WriteLocked(data, error);
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

bool Store::ReadLocked(StoreData& out, std::string& error) const
{
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        std::error_code ec;
        if (!std::filesystem::exists(path_, ec)) {
            out = StoreData{};
            return true;
        }
        error = "cannot read store " + path_;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!ParseStore(text.str(), out, error)) {
        error = path_ + ": " + error;
        return false;
    }
    return true;
}

bool Store::WriteLocked(const StoreData& data, std::string& error)
{
    const std::string temp = path_ + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << SerializeStore(data);
        out.flush();
        if (!out) {
            error = "cannot write " + temp;
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path_, ec);
    if (ec) {
        error = "cannot replace store " + path_ + ": " + ec.message();
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

}  // namespace devsim
