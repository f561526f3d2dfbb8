#include "mapped_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvid::cli {

namespace core = korvid::core;

MappedFile::MappedFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        failure_ = core::FailureFromErrno(errno);
        return;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        failure_ = core::FailureFromErrno(errno);
    } else if (S_ISDIR(status.st_mode)) {
        failure_ = core::FileFailure::AccessDenied;
    } else if (!S_ISREG(status.st_mode) ||
               static_cast<uint64_t>(status.st_size) > core::kCodeFileLimit) {
        failure_ = core::FileFailure::InvalidFile;
    } else if (status.st_size > 0) {
        size_ = static_cast<std::size_t>(status.st_size);
        data_ = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (data_ == MAP_FAILED) {
            failure_ = core::FailureFromErrno(errno);
            data_ = nullptr;
            size_ = 0;
        }
    }
    ::close(fd);
}

MappedFile::~MappedFile() {
    if (data_ != nullptr) {
        ::munmap(data_, size_);
    }
}

}  // namespace korvid::cli
