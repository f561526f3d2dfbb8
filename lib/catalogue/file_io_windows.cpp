// The project file's reading on Windows, with the ANSI calls: a path is in the
// process's ANSI code page, as every narrow path on Windows.
#include "catalogue/file_io.h"

#include <windows.h>

#include <algorithm>
#include <limits>

namespace korvid::catalogue {
namespace {

// Every handle shares reading, writing and deleting, so that a reader never keeps
// a project from being replaced.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

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

}  // namespace korvid::catalogue
