#include "files/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>
#include <string>

namespace korvid::files {
namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel allows (ELOOP beyond)

// Writes all pieces; 0 or the error.
int writePieces(int descriptor, std::initializer_list<std::span<const uint8_t>> pieces) {
    for (std::span<const uint8_t> bytes : pieces) {
        while (!bytes.empty()) {
            const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                return written < 0 ? errno : EIO;
            }
            bytes = bytes.subspan(static_cast<size_t>(written));
        }
    }
    return 0;
}

int writeInPlace(const char* path, std::initializer_list<std::span<const uint8_t>> pieces) {
    // Non-blocking open: a FIFO without a reader fails instead of hanging.
    const int descriptor = ::open(path, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return errno;
    }
    const int flags = ::fcntl(descriptor, F_GETFL);
    int error = flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0
                    ? errno
                    : writePieces(descriptor, pieces);
    if (::close(descriptor) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

std::string directoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The name a path that does not exist stands for: itself, or what the symbolic
// links it is name, to the end of the chain, where the new file is created.
std::string missingTarget(const char* path) {
    std::string target = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        char next[PATH_MAX];
        const ssize_t length = ::readlink(target.c_str(), next, sizeof next - 1);
        if (length <= 0) {
            break;
        }
        const std::string linked(next, static_cast<size_t>(length));
        target = linked.front() == '/' ? linked : directoryOf(target) + "/" + linked;
    }
    return target;
}

// A hidden temporary in target's folder (the rename must stay on one file system),
// whose name does not grow with target's; its descriptor, or -1 with errno set.
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

// Makes the rename in the folder durable.
int syncDirectory(const std::string& target) {
    const int directory = ::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory < 0) {
        return errno;
    }
    const int error = ::fsync(directory) == 0 ? 0 : errno;
    ::close(directory);
    return error;
}

}  // namespace

int ReplaceFileContents(const char* path, std::initializer_list<std::span<const uint8_t>> pieces,
                        Durability durability) {
    struct stat existing {};
    const bool replacing = ::stat(path, &existing) == 0;
    if (!replacing && errno != ENOENT) {
        return errno;
    }
    if (replacing && !S_ISREG(existing.st_mode)) {
        return writeInPlace(path, pieces);
    }
    std::string target;
    if (replacing) {
        char resolved[PATH_MAX];
        if (::realpath(path, resolved) == nullptr) {
            return errno;
        }
        target = resolved;
    } else {
        target = missingTarget(path);
    }
    std::string temporaryPath;
    const int descriptor = createTemporary(target, temporaryPath);
    if (descriptor < 0) {
        return errno;
    }
    int error = replacing && ::fchmod(descriptor, existing.st_mode & 07777) != 0 ? errno : 0;
    if (error == 0) {
        error = writePieces(descriptor, pieces);
    }
    if (error == 0 && durability == Durability::Synced && ::fsync(descriptor) != 0) {
        error = errno;
    }
    if (::close(descriptor) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && durability == Durability::Fast && ::unlink(target.c_str()) != 0 &&
        errno != ENOENT) {
        error = errno;
    }
    if (error == 0 && ::rename(temporaryPath.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporaryPath.c_str());
        return error;
    }
    return durability == Durability::Synced ? syncDirectory(target) : 0;
}

}  // namespace korvid::files
