// Files for the project reader and writer: a byte source over a regular file, and
// replacing a file's contents so that a failed write never leaves a partial file.
#pragma once

#include <cstdint>
#include <initializer_list>
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

// Writes the pieces, in order, as the new contents of path. A regular file (new or
// existing) is written to a temporary file beside it, flushed to disk and renamed
// over it, so on failure the old contents stay and no temporary is left. Anything
// else that already exists there (a device, a pipe) is written in place. false on
// any failure to create, write, flush or rename. On Windows path is in the ANSI
// code page, and an existing file is replaced with ReplaceFile, which keeps its
// attributes and security, as the mode is kept on Linux.
bool replaceFileContents(const char* path, std::initializer_list<std::span<const uint8_t>> pieces);

}  // namespace korvid::catalogue
