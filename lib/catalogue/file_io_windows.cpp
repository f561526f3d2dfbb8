// The project file's reading and replacing on Windows, with the ANSI calls: a
// path is in the process's ANSI code page, as every narrow path on Windows.
#include "catalogue/file_io.h"

#include <windows.h>

#include <limits>
#include <random>
#include <string>

namespace korvid::catalogue {
namespace {

// Every handle shares reading, writing and deleting, so that a reader never keeps
// a project from being replaced.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool writeAll(HANDLE file, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<size_t>(bytes.size(), std::numeric_limits<DWORD>::max()));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes = bytes.subspan(written);
    }
    return true;
}

bool writePieces(HANDLE file, std::initializer_list<std::span<const uint8_t>> pieces) {
    for (const std::span<const uint8_t> piece : pieces) {
        if (!writeAll(file, piece)) {
            return false;
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

bool writeInPlace(const char* path, std::initializer_list<std::span<const uint8_t>> pieces) {
    HANDLE handle = CreateFileA(path, GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool written = writePieces(handle, pieces);
    return CloseHandle(handle) != 0 && written;
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

// Creates a hidden temporary in target's folder (the rename must stay on one
// volume); returns its handle or INVALID_HANDLE_VALUE. The name does not grow with
// target's.
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

std::unique_ptr<FileSource> FileSource::open(const char* path) {
    HANDLE handle = CreateFileA(path, GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    LARGE_INTEGER size{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &size)) {
        CloseHandle(handle);
        return nullptr;
    }
    return std::unique_ptr<FileSource>(
        new FileSource(handle, static_cast<uint64_t>(size.QuadPart)));
}

FileSource::~FileSource() {
    CloseHandle(file_);
}

bool FileSource::read(uint64_t offset, std::span<uint8_t> out) {
    while (!out.empty()) {
        // A read at an offset of its own: the overlapped record of a synchronous handle.
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD chunk =
            static_cast<DWORD>(std::min<size_t>(out.size(), std::numeric_limits<DWORD>::max()));
        DWORD got = 0;
        if (!ReadFile(file_, out.data(), chunk, &got, &at) || got == 0) {
            return false;  // error, or the file shrank since it was opened
        }
        out = out.subspan(got);
        offset += got;
    }
    return true;
}

bool replaceFileContents(const char* path, std::initializer_list<std::span<const uint8_t>> pieces) {
    if (path == nullptr) {
        return false;
    }
    const Existing existing = whatIsAt(path);
    if (existing == Existing::Folder) {
        return false;
    }
    if (existing == Existing::Other) {
        return writeInPlace(path, pieces);
    }
    const std::string target = path;
    std::string temporaryPath;
    HANDLE temporary = createTemporary(target, temporaryPath);
    if (temporary == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool written = writePieces(temporary, pieces) && FlushFileBuffers(temporary) != 0;
    written = CloseHandle(temporary) != 0 && written;
    if (written) {
        const bool replaced =
            existing == Existing::File
                ? ReplaceFileA(target.c_str(), temporaryPath.c_str(), nullptr,
                               REPLACEFILE_WRITE_THROUGH, nullptr, nullptr) != 0
                : MoveFileExA(temporaryPath.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
        if (replaced) {
            return true;
        }
    }
    DeleteFileA(temporaryPath.c_str());
    return false;
}

}  // namespace korvid::catalogue
