// The production log's file on Linux.
#include "production_log.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace korvid::cli {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int error) {
    throw CommandFailure(ExitStatus::FileError, "cannot " + what + " the log \"" + path + "\" (" +
                                                    std::strerror(error) + ")");
}

}  // namespace

std::string HostName() {
    char name[256] = {};
    return ::gethostname(name, sizeof name - 1) == 0 ? name : "";
}

ProductionLog::ProductionLog(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        Fail("open", path, errno);
    }
}

ProductionLog::~ProductionLog() {
    ::close(fd_);
}

void ProductionLog::writeWholeLine(const std::string& line) const {
    // One write: a retry after a short write would put the rest of the line after
    // another command's entry, so a short write is an error instead.
    ssize_t written = -1;
    do {
        written = ::write(fd_, line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    if (written != static_cast<ssize_t>(line.size())) {
        Fail("write", path_, written < 0 ? errno : ENOSPC);
    }
    if (::fsync(fd_) != 0) {
        Fail("flush", path_, errno);
    }
}

}  // namespace korvid::cli
