#include "counter_file.h"

#include "windows_text.h"

#include <windows.h>

namespace korvid::cli {

CounterLock::CounterLock(const std::string& counterPath) : path_(counterPath + ".lock") {
    file_ = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) {
        FailCounterFile("open the serial counter's lock file", path_,
                        WindowsErrorText(GetLastError()));
    }
    // The first byte's lock, taken by every command alike; LockFileEx waits for it.
    OVERLAPPED whole{};
    if (!LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &whole)) {
        const DWORD error = GetLastError();
        CloseHandle(file_);
        FailCounterFile("lock", path_, WindowsErrorText(error));
    }
}

CounterLock::~CounterLock() {
    CloseHandle(file_);
}

std::optional<std::string> ReadCounterFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            return std::nullopt;
        }
        FailCounterFile("read the serial counter", path, WindowsErrorText(error));
    }
    std::string text;
    char buffer[64];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &n, nullptr)) {
            const DWORD error = GetLastError();
            CloseHandle(file);
            FailCounterFile("read the serial counter", path, WindowsErrorText(error));
        }
        if (n == 0 || text.size() > 64) {
            break;  // a longer text is no counter; its start is enough to say so
        }
        text.append(buffer, n);
    }
    CloseHandle(file);
    return text;
}

}  // namespace korvid::cli
