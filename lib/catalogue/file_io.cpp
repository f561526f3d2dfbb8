#include "catalogue/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace korvid::catalogue {

std::unique_ptr<FileSource> FileSource::open(const char* path) {
    const int descriptor = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return nullptr;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return nullptr;
    }
    return std::unique_ptr<FileSource>(
        new FileSource(descriptor, static_cast<uint64_t>(status.st_size)));
}

FileSource::~FileSource() {
    ::close(file_);
}

bool FileSource::read(uint64_t offset, std::span<uint8_t> out) {
    while (!out.empty()) {
        const ssize_t got = ::pread(file_, out.data(), out.size(), static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;  // error, or the file shrank since it was opened
        }
        out = out.subspan(static_cast<size_t>(got));
        offset += static_cast<uint64_t>(got);
    }
    return true;
}

}  // namespace korvid::catalogue
