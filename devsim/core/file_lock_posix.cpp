#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "file_lock.h"

namespace devsim {

struct FileLock::Impl {
    int fd = -1;
    ~Impl()
    {
        if (fd >= 0) close(fd);  // closing releases the lock
    }
};

FileLock::FileLock(const std::string& path) : impl_(std::make_unique<Impl>())
{
    impl_->fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (impl_->fd < 0) throw std::runtime_error("cannot open lock file " + path + ": " + std::strerror(errno));
    struct flock region {};
    region.l_type = F_WRLCK;
    region.l_whence = SEEK_SET;
    region.l_start = 0;
    region.l_len = 1;
    while (fcntl(impl_->fd, F_OFD_SETLKW, &region) != 0) {
        if (errno != EINTR) throw std::runtime_error("cannot lock " + path + ": " + std::strerror(errno));
    }
}

FileLock::~FileLock() = default;

}  // namespace devsim
