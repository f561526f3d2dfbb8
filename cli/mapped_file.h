// A code file mapped read-only into memory, for converting large files without
// copying their text: the conversion reads the mapping directly.
#pragma once

#include "code_file.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace korvid::cli {

class MappedFile {
public:
    // Maps the regular file at path; failure() tells why not, with the causes
    // core::ReadCodeFile gives (directories, devices and oversized files refused).
    explicit MappedFile(const std::string& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    korvid::core::FileFailure failure() const { return failure_; }
    std::string_view text() const { return {static_cast<const char*>(data_), size_}; }

private:
    korvid::core::FileFailure failure_ = korvid::core::FileFailure::None;
    void* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace korvid::cli
