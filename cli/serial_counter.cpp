#include "serial_counter.h"

#include "file_replace.h"
#include "hex_number.h"
#include "outcome.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace korvid::cli {
namespace {

[[noreturn]] void FailFile(const std::string& what, const std::string& path, int error) {
    throw CommandFailure(ExitStatus::FileError,
                         "cannot " + what + " \"" + path + "\" (" + std::strerror(error) + ")");
}

// Holds an exclusive flock on the lock file beside the counter while it lives.
class CounterLock {
public:
    explicit CounterLock(const std::string& counterPath) : path_(counterPath + ".lock") {
        fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) {
            FailFile("open the serial counter's lock file", path_, errno);
        }
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                const int error = errno;
                ::close(fd_);
                FailFile("lock", path_, error);
            }
        }
    }
    ~CounterLock() { ::close(fd_); }  // closing the descriptor releases the lock
    CounterLock(const CounterLock&) = delete;
    CounterLock& operator=(const CounterLock&) = delete;

private:
    std::string path_;
    int fd_ = -1;
};

// The counter file's text, or nullopt when there is no such file.
std::optional<std::string> ReadCounterFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            return std::nullopt;
        }
        FailFile("read the serial counter", path, errno);
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
            FailFile("read the serial counter", path, error);
        }
        if (n == 0 || text.size() > 64) {
            break;  // a longer text is no counter; its start is enough to say so
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return text;
}

}  // namespace

std::optional<uint32_t> ParseCounterText(std::string_view text) {
    if (!text.empty() && text.back() == '\n') {
        text.remove_suffix(1);
    }
    if (text.size() < 3 || text.size() > 10 || text.substr(0, 2) != "0x") {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (const char c : text.substr(2)) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                 : -1;
        if (digit < 0) {
            return std::nullopt;
        }
        value = value << 4 | static_cast<uint32_t>(digit);
    }
    return value;
}

std::string CounterText(uint32_t value) {
    return Hex(value, 8) + "\n";
}

uint32_t ReserveSerialNumbers(const std::string& path, uint32_t initial, uint64_t count) {
    const CounterLock lock(path);
    uint32_t first = initial;
    if (const std::optional<std::string> text = ReadCounterFile(path)) {
        const std::optional<uint32_t> value = ParseCounterText(*text);
        if (!value) {
            throw CommandFailure(ExitStatus::CounterCorrupt,
                                 "the serial counter \"" + path +
                                     "\" does not hold a counter value (one line such as "
                                     "0x00001300); nothing was sent");
        }
        first = *value;
    }
    if (uint64_t{first} + count > 0xFFFFFFFFull) {
        throw CommandFailure(ExitStatus::BadSetting, "the serial counter \"" + path + "\" at " +
                                                         Hex(first, 8) + " has no " +
                                                         std::to_string(count) + " numbers left");
    }
    const std::string next = CounterText(static_cast<uint32_t>(first + count));
    ReplaceFile(path, std::span(reinterpret_cast<const uint8_t*>(next.data()), next.size()),
                Durability::Synced);
    return first;
}

}  // namespace korvid::cli
