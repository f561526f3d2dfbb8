#include "file_replace.h"

#include "korvid.h"
#include "messages.h"
#include "outcome.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvid::cli {
namespace {

[[noreturn]] void Fail(const std::string& path, int error) {
    throw CommandFailure(ExitStatus::FileError,
                         korvid::core::Messages::cantCreateOrWrite.english + path + "\" ! (" +
                             std::strerror(error) + ")",
                         RC_FILE_OPEN);
}

bool WriteAll(int fd, std::span<const uint8_t> bytes, int& error) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

void ReplaceFile(const std::string& path, std::span<const uint8_t> bytes, Durability durability) {
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        Fail(path, errno);
    }
    int error = 0;
    bool written = WriteAll(fd, bytes, error);
    if (written && durability == Durability::Synced && ::fsync(fd) != 0) {
        error = errno;
        written = false;
    }
    if (!written) {
        ::close(fd);
        ::unlink(temporary.c_str());
        Fail(path, error);
    }
    ::fchmod(fd, 0644);
    const bool closed = ::close(fd) == 0;
    // Fast: the old file is removed before the new one takes its name, since ext4
    // flushes a file renamed over another at once, which would triple the time of a
    // large conversion. Either the old file, no file or the whole new file is there.
    if (closed && durability == Durability::Fast && ::unlink(path.c_str()) != 0 &&
        errno != ENOENT) {
        error = errno;
        ::unlink(temporary.c_str());
        Fail(path, error);
    }
    if (!closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
        ::unlink(temporary.c_str());
        Fail(path, error);
    }
    if (durability == Durability::Synced) {
        // The rename is durable once the directory entry is on disk.
        const int directory = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY);
        const bool ok = directory >= 0 && ::fsync(directory) == 0;
        error = errno;
        if (directory >= 0) {
            ::close(directory);
        }
        if (!ok) {
            Fail(path, error);
        }
    }
}

}  // namespace korvid::cli
