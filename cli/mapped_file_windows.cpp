#include "mapped_file.h"

#include <windows.h>

namespace korvid::cli {

namespace core = korvid::core;

MappedFile::MappedFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        failure_ = core::FailureFromWindowsError(GetLastError());
        return;
    }
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK) {
        failure_ = core::FileFailure::InvalidFile;
    } else if (!GetFileSizeEx(file, &size)) {
        failure_ = core::FailureFromWindowsError(GetLastError());
    } else if (static_cast<uint64_t>(size.QuadPart) > core::kCodeFileLimit) {
        failure_ = core::FileFailure::InvalidFile;
    } else if (size.QuadPart > 0) {
        // The view keeps the mapping alive; both handles may go at once.
        HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        data_ = mapping != nullptr ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
        if (data_ == nullptr) {
            failure_ = core::FailureFromWindowsError(GetLastError());
        } else {
            size_ = static_cast<std::size_t>(size.QuadPart);
        }
        if (mapping != nullptr) {
            CloseHandle(mapping);
        }
    }
    CloseHandle(file);
}

MappedFile::~MappedFile() {
    if (data_ != nullptr) {
        UnmapViewOfFile(data_);
    }
}

}  // namespace korvid::cli
