// An exclusive lock on a file shared by several processes (held for the object's life).
// POSIX: an open-file-description lock on byte 0; Windows: LockFileEx on byte 0, which
// Wine maps onto the same kind of POSIX record lock.
#pragma once
#include <memory>
#include <string>

namespace devsim {

class FileLock {
public:
    // Creates the lock file when missing and waits for the lock.
    // Throws std::runtime_error when the file cannot be opened or locked.
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace devsim
