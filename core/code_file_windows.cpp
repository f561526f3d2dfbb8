// Reading a code file on Windows, with the ANSI calls: a path is in the process's
// ANSI code page, as every narrow path on Windows.
#include "code_file.h"
#include "read_to_end.h"

#include <windows.h>

#include <algorithm>

namespace korvid::core {
namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

CodeFile Failed(FileFailure failure) {
    return CodeFile{failure, {}};
}

}  // namespace

FileFailure FailureFromWindowsError(unsigned long error) {
    switch (error) {
        case ERROR_SUCCESS:
            return FileFailure::None;
        case ERROR_FILE_NOT_FOUND:
            return FileFailure::FileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_DIRECTORY:
            return FileFailure::BadPath;
        case ERROR_TOO_MANY_OPEN_FILES:
            return FileFailure::TooManyOpenFiles;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return FileFailure::AccessDenied;
        case ERROR_INVALID_HANDLE:
            return FileFailure::InvalidFile;
        case ERROR_CURRENT_DIRECTORY:
            return FileFailure::RemoveCurrentDir;
        case ERROR_CANNOT_MAKE:
            return FileFailure::DirectoryFull;
        case ERROR_SEEK:
        case ERROR_NEGATIVE_SEEK:
            return FileFailure::BadSeek;
        case ERROR_CRC:
        case ERROR_IO_DEVICE:
        case ERROR_READ_FAULT:
        case ERROR_GEN_FAILURE:
            return FileFailure::HardIo;
        case ERROR_SHARING_VIOLATION:
            return FileFailure::SharingViolation;
        case ERROR_LOCK_VIOLATION:
            return FileFailure::LockViolation;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return FileFailure::DiskFull;
        case ERROR_HANDLE_EOF:
            return FileFailure::EndOfFile;
        default:
            return FileFailure::Generic;
    }
}

CodeFile ReadCodeFile(const std::string& path) {
    // A folder does not open without backup semantics: access is refused, as on Linux.
    const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        return Failed(FailureFromWindowsError(GetLastError()));
    }
    LARGE_INTEGER size{};
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        return Failed(FileFailure::InvalidFile);  // a device (NUL, COM1) or a pipe
    }
    if (!GetFileSizeEx(file.get(), &size)) {
        return Failed(FailureFromWindowsError(GetLastError()));
    }
    if (static_cast<uint64_t>(size.QuadPart) > kCodeFileLimit) {
        return Failed(FileFailure::InvalidFile);
    }
    // Read to the end rather than trusting the size: the file may change meanwhile.
    return ReadToEnd(static_cast<std::size_t>(size.QuadPart),
                     [&file](uint8_t* target, std::size_t room,
                             FileFailure& failure) -> std::optional<std::size_t> {
                         DWORD got = 0;
                         if (!ReadFile(file.get(), target,
                                       static_cast<DWORD>(std::min<std::size_t>(room, 1u << 30)),
                                       &got, nullptr)) {
                             failure = FailureFromWindowsError(GetLastError());
                             return std::nullopt;
                         }
                         return got;
                     });
}

}  // namespace korvid::core
