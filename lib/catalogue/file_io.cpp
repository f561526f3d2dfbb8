#include "catalogue/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>
#include <string>

namespace korvid::catalogue {
namespace {

bool writeAll(int descriptor, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes = bytes.subspan(static_cast<size_t>(written));
    }
    return true;
}

bool writePieces(int descriptor, std::initializer_list<std::span<const uint8_t>> pieces) {
    for (const std::span<const uint8_t> piece : pieces) {
        if (!writeAll(descriptor, piece)) {
            return false;
        }
    }
    return true;
}

bool writeInPlace(const char* path, std::initializer_list<std::span<const uint8_t>> pieces) {
    // Non-blocking open: a pipe without a reader fails instead of hanging.
    const int descriptor = ::open(path, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    const int flags = ::fcntl(descriptor, F_GETFL);
    bool written = flags >= 0 && ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) == 0 &&
                   writePieces(descriptor, pieces);
    written = (::close(descriptor) == 0) && written;
    return written;
}

// Resolves a symbolic link, so the file it names is replaced rather than the link.
std::string replacementTarget(const char* path) {
    char resolved[PATH_MAX];
    if (::realpath(path, resolved) != nullptr) {
        return resolved;
    }
    return path;
}

std::string directoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates a hidden temporary in target's folder (the rename must stay on one file
// system); returns its descriptor or -1. The name does not grow with target's.
int createTemporary(const std::string& target, std::string& temporaryPath) {
    std::random_device seed;
    std::mt19937 generator(seed());
    const std::string prefix = directoryOf(target) + "/.korvid-save-";
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporaryPath = prefix + std::to_string(generator());
        const int descriptor =
            ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST) {
            return descriptor;
        }
    }
    return -1;
}

}  // namespace

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

bool replaceFileContents(const char* path, std::initializer_list<std::span<const uint8_t>> pieces) {
    const std::string target = replacementTarget(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        return writeInPlace(target.c_str(), pieces);
    }
    std::string temporaryPath;
    const int descriptor = createTemporary(target, temporaryPath);
    if (descriptor < 0) {
        return false;
    }
    bool written = (!exists || ::fchmod(descriptor, existing.st_mode & 07777) == 0) &&
                   writePieces(descriptor, pieces) && ::fsync(descriptor) == 0;
    written = (::close(descriptor) == 0) && written;
    if (written && ::rename(temporaryPath.c_str(), target.c_str()) == 0) {
        return true;
    }
    ::unlink(temporaryPath.c_str());
    return false;
}

}  // namespace korvid::catalogue
