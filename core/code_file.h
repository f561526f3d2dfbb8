// Reading a whole code file into memory, with the failure cause that the open
// message shows. An unreadable file is always reported, never taken as empty.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace korvid::core {

// Failure causes shown as "Error code = N".
enum class FileFailure : unsigned {
    None = 0,
    Generic = 1,
    FileNotFound = 2,
    BadPath = 3,
    TooManyOpenFiles = 4,
    AccessDenied = 5,
    InvalidFile = 6,
    RemoveCurrentDir = 7,
    DirectoryFull = 8,
    BadSeek = 9,
    HardIo = 10,
    SharingViolation = 11,
    LockViolation = 12,
    DiskFull = 13,
    EndOfFile = 14,
};

// Code files are read whole; anything larger is refused as an invalid file.
inline constexpr std::size_t kCodeFileLimit = 256u * 1024u * 1024u;

struct CodeFile {
    FileFailure failure = FileFailure::None;  // None: bytes hold the whole file
    std::vector<uint8_t> bytes;
};

// Reads the regular file at path (a native, 8-bit file name: on Windows in the
// ANSI code page). Directories, devices and pipes and files above kCodeFileLimit
// are refused.
CodeFile ReadCodeFile(const std::string& path);

#if defined(_WIN32)
// The cause number for a Windows error of CreateFile or ReadFile.
FileFailure FailureFromWindowsError(unsigned long error);
#else
// The cause number for an errno value of open or read.
FileFailure FailureFromErrno(int error);
#endif

}  // namespace korvid::core
