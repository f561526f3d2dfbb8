// On Windows with the ANSI calls: a path is in the process's ANSI code page, as
// every narrow path on Windows (UTF-8 in korvid.exe).
#include "files/replace_file.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <random>
#include <string>

namespace korvid::files {
namespace {

// Every handle shares reading, writing and deleting, so that a reader never keeps
// a file from being replaced.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The error of the call that just failed; never 0, so that it is never taken for
// success.
int lastError() {
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? static_cast<int>(error) : ERROR_WRITE_FAULT;
}

bool writePieces(HANDLE file, std::initializer_list<std::span<const uint8_t>> pieces) {
    for (std::span<const uint8_t> bytes : pieces) {
        while (!bytes.empty()) {
            const DWORD chunk = static_cast<DWORD>(
                std::min<size_t>(bytes.size(), std::numeric_limits<DWORD>::max()));
            DWORD written = 0;
            if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
                return false;
            }
            bytes = bytes.subspan(written);
        }
    }
    return true;
}

// What stands at a path: nothing (or nothing this user may look at), a regular
// file, a folder, or something else (a device such as NUL or COM1, a pipe).
enum class Existing { None, File, Folder, Other };

Existing whatIsAt(const char* path) {
    HANDLE handle = CreateFileA(path, 0, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return Existing::None;
    }
    Existing kind = Existing::Other;
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &information)) {
        kind = (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? Existing::Folder
                                                                              : Existing::File;
    }
    CloseHandle(handle);
    return kind;
}

int writeInPlace(const char* path, std::initializer_list<std::span<const uint8_t>> pieces) {
    HANDLE handle = CreateFileA(path, GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return lastError();
    }
    int error = writePieces(handle, pieces) ? 0 : lastError();
    if (!CloseHandle(handle) && error == 0) {
        error = lastError();
    }
    return error;
}

// The folder part of a path, with its separator ("C:\a\" of "C:\a\b.kpj", "" of
// "b.kpj", "C:" of "C:b.kpj").
std::string folderOf(const std::string& path) {
    const size_t separator = path.find_last_of("\\/");
    if (separator != std::string::npos) {
        return path.substr(0, separator + 1);
    }
    return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : "";
}

// A hidden temporary in target's folder (the rename must stay on one volume), whose
// name does not grow with target's; its handle or INVALID_HANDLE_VALUE.
HANDLE createTemporary(const std::string& target, std::string& temporaryPath) {
    std::random_device seed;
    std::mt19937 generator(seed());
    const std::string prefix = folderOf(target) + ".korvid-save-";
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporaryPath = prefix + std::to_string(generator());
        HANDLE handle = CreateFileA(temporaryPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return handle;
        }
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

int ReplaceFileContents(const char* path, std::initializer_list<std::span<const uint8_t>> pieces,
                        Durability durability) {
    if (path == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const Existing existing = whatIsAt(path);
    if (existing == Existing::Folder) {
        return ERROR_DIRECTORY;
    }
    if (existing == Existing::Other) {
        return writeInPlace(path, pieces);
    }
    const std::string target = path;
    std::string temporaryPath;
    HANDLE temporary = createTemporary(target, temporaryPath);
    if (temporary == INVALID_HANDLE_VALUE) {
        return lastError();
    }
    const bool synced = durability == Durability::Synced;
    int error = writePieces(temporary, pieces) && (!synced || FlushFileBuffers(temporary) != 0)
                    ? 0
                    : lastError();
    if (!CloseHandle(temporary) && error == 0) {
        error = lastError();
    }
    if (error == 0 && existing == Existing::File) {
        // The replaced file's attributes are kept (as the mode is on Linux), but
        // read-only, which must go on refusing the replace.
        const DWORD attributes = GetFileAttributesA(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            SetFileAttributesA(temporaryPath.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
        }
    }
    // One rename: a process killed at any moment leaves the old contents or the
    // new, never no file (ReplaceFile moves the old file away first). Write-through
    // returns only once the change is on the disk.
    if (error == 0 &&
        !MoveFileExA(temporaryPath.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | (synced ? MOVEFILE_WRITE_THROUGH : 0))) {
        error = lastError();
    }
    if (error != 0) {
        DeleteFileA(temporaryPath.c_str());
    }
    return error;
}

}  // namespace korvid::files
