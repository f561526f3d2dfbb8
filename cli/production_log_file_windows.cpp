// The production log's file on Windows.
#include "production_log.h"

#include "windows_text.h"

#include <windows.h>

namespace korvid::cli {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, DWORD error) {
    throw CommandFailure(ExitStatus::FileError, "cannot " + what + " the log \"" + path + "\" (" +
                                                    WindowsErrorText(error) + ")");
}

}  // namespace

std::string HostName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) ? name : "";
}

ProductionLog::ProductionLog(const std::string& path) : path_(path) {
    // Append-only access: Windows puts every write at the end of the file as one
    // piece, whatever other commands append meanwhile.
    file_ = CreateFileA(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) {
        Fail("open", path, GetLastError());
    }
}

ProductionLog::~ProductionLog() {
    CloseHandle(file_);
}

void ProductionLog::writeWholeLine(const std::string& line) const {
    // One write: a retry after a short write would put the rest of the line after
    // another command's entry, so a short write is an error instead.
    DWORD written = 0;
    if (!WriteFile(file_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr)) {
        Fail("write", path_, GetLastError());
    }
    if (written != line.size()) {
        Fail("write", path_, ERROR_DISK_FULL);
    }
    if (!FlushFileBuffers(file_)) {
        Fail("flush", path_, GetLastError());
    }
}

}  // namespace korvid::cli
