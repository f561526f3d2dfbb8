#include "code_file.h"

#include "read_to_end.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvid::core {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

CodeFile Failed(FileFailure failure) {
    return CodeFile{failure, {}};
}

}  // namespace

FileFailure FailureFromErrno(int error) {
    switch (error) {
        case 0:
            return FileFailure::None;
        case ENOENT:
            return FileFailure::FileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
        case ENXIO:
        case ENODEV:
            return FileFailure::BadPath;
        case EMFILE:
        case ENFILE:
            return FileFailure::TooManyOpenFiles;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return FileFailure::AccessDenied;
        case ESPIPE:
            return FileFailure::BadSeek;
        case EIO:
            return FileFailure::HardIo;
        case EBUSY:
        case ETXTBSY:
            return FileFailure::SharingViolation;
        case ENOLCK:
        case EDEADLK:
            return FileFailure::LockViolation;
        case ENOSPC:
        case EDQUOT:
            return FileFailure::DiskFull;
        default:
            return FileFailure::Generic;
    }
}

CodeFile ReadCodeFile(const std::string& path) {
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0) {
        return Failed(FailureFromErrno(errno));
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        return Failed(FailureFromErrno(errno));
    }
    if (S_ISDIR(status.st_mode)) {
        return Failed(FileFailure::AccessDenied);
    }
    if (!S_ISREG(status.st_mode) || static_cast<uint64_t>(status.st_size) > kCodeFileLimit) {
        return Failed(FileFailure::InvalidFile);
    }
    // Read to the end rather than trusting the size: the file may change meanwhile.
    return ReadToEnd(static_cast<std::size_t>(status.st_size),
                     [&file](uint8_t* target, std::size_t room,
                             FileFailure& failure) -> std::optional<std::size_t> {
                         for (;;) {
                             const ssize_t got = ::read(file.get(), target, room);
                             if (got >= 0) {
                                 return static_cast<std::size_t>(got);
                             }
                             if (errno != EINTR) {
                                 failure = FailureFromErrno(errno);
                                 return std::nullopt;
                             }
                         }
                     });
}

}  // namespace korvid::core
