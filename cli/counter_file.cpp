#include "counter_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace korvid::cli {

CounterLock::CounterLock(const std::string& counterPath) : path_(counterPath + ".lock") {
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        FailCounterFile("open the serial counter's lock file", path_, std::strerror(errno));
    }
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            const int error = errno;
            ::close(fd_);
            FailCounterFile("lock", path_, std::strerror(error));
        }
    }
}

CounterLock::~CounterLock() {
    ::close(fd_);
}

std::optional<std::string> ReadCounterFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            return std::nullopt;
        }
        FailCounterFile("read the serial counter", path, std::strerror(errno));
    }
    std::string text;
    char buffer[64];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            FailCounterFile("read the serial counter", path, std::strerror(error));
        }
        if (n == 0 || text.size() > 64) {
            break;  // a longer text is no counter; its start is enough to say so
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return text;
}

}  // namespace korvid::cli
