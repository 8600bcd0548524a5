#include <windows.h>

#include <stdexcept>

#include "file_lock.h"

namespace devsim {

struct FileLock::Impl {
    HANDLE file = INVALID_HANDLE_VALUE;
    OVERLAPPED region{};
    bool locked = false;
    ~Impl()
    {
        if (locked) UnlockFileEx(file, 0, 1, 0, &region);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
};

FileLock::FileLock(const std::string& path) : impl_(std::make_unique<Impl>())
{
    impl_->file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (impl_->file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open lock file " + path + " (error " + std::to_string(GetLastError()) + ")");
    if (!LockFileEx(impl_->file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &impl_->region))
        throw std::runtime_error("cannot lock " + path + " (error " + std::to_string(GetLastError()) + ")");
    impl_->locked = true;
}

FileLock::~FileLock() = default;

}  // namespace devsim
