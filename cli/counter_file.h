// The serial counter's own files: the lock file beside it and reading its text.
#pragma once

#include <optional>
#include <string>

namespace korvid::cli {

// Holds an exclusive lock on the lock file beside the counter (FILE.lock, created
// when missing) while it lives: flock on Linux, LockFileEx on Windows; waits for a
// lock that another command holds. Throws a FileError failure when the lock file
// cannot be opened or locked.
class CounterLock {
public:
    explicit CounterLock(const std::string& counterPath);
    ~CounterLock();  // closing the lock file releases the lock
    CounterLock(const CounterLock&) = delete;
    CounterLock& operator=(const CounterLock&) = delete;

private:
    std::string path_;
#if defined(_WIN32)
    void* file_ = nullptr;  // HANDLE
#else
    int fd_ = -1;
#endif
};

// The counter file's text (no more than its start when it is longer than a counter
// can be), or nullopt when there is no such file. Throws a FileError failure when
// it cannot be read.
std::optional<std::string> ReadCounterFile(const std::string& path);

// Throws the FileError failure "cannot WHAT "PATH" (REASON)".
[[noreturn]] void FailCounterFile(const std::string& what, const std::string& path,
                                  const std::string& reason);

}  // namespace korvid::cli
