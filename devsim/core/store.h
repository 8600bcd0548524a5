// The store file of simulated devices, shared by the stand-in libraries and the tool.
//
// Where it is: the path in the environment variable ORVEX_DEVSIM_STORE, else the file
// "devsim-store.ini" in the current directory. Under Wine give a Windows path
// (e.g. Z:\tmp\devices.ini) so the native tool and the DLLs name the same file.
//
// Every access takes a process-wide mutex and then an exclusive lock on "<store>.lock",
// reads the whole file, and (for an update) writes it to "<store>.tmp" and renames it
// over the store, so readers never see half a file and no writer loses another's update.
#pragma once
#include <functional>
#include <string>

#include "store_format.h"

namespace devsim {

constexpr const char* kStoreEnvVar = "ORVEX_DEVSIM_STORE";
constexpr const char* kDefaultStoreName = "devsim-store.ini";

std::string StorePathFromEnvironment();

class Store {
public:
    explicit Store(std::string path);
    static Store FromEnvironment() { return Store(StorePathFromEnvironment()); }

    const std::string& path() const { return path_; }

    // A missing file reads as an empty store. False and a reason on a broken file.
    bool Read(StoreData& out, std::string& error) const;

    // Read-modify-write under the lock; `change` returns whether it changed anything
    // (only then is the file written). False and a reason when the store cannot be
    // read or written; `change` is then not called or its result not kept.
    bool Update(const std::function<bool(StoreData&)>& change, std::string& error);

private:
    bool ReadLocked(StoreData& out, std::string& error) const;
    bool WriteLocked(const StoreData& data, std::string& error);

    std::string path_;
};

}  // namespace devsim
