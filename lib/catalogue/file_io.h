// Files for the project reader: a byte source over a regular file.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "catalogue/kpj_reader.h"

namespace korvid::catalogue {

class FileSource final : public kpj::ByteSource {
public:
    // nullptr when path is not a regular file that can be opened for reading.
    static std::unique_ptr<FileSource> open(const char* path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    uint64_t size() const override { return size_; }
    bool read(uint64_t offset, std::span<uint8_t> out) override;

private:
#if defined(_WIN32)
    using NativeFile = void*;  // HANDLE
#else
    using NativeFile = int;  // file descriptor
#endif
    FileSource(NativeFile file, uint64_t size) : file_(file), size_(size) {}
    NativeFile file_;
    uint64_t size_;
};

}  // namespace korvid::catalogue
