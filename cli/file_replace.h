// Replacing a file's whole content so that no reader ever sees it half-written.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace korvid::cli {

enum class Durability {
    // The new content is complete before it takes the name; nothing is flushed to
    // disk on purpose, which keeps large outputs fast. A crash may lose the file.
    Fast,
    // The new content and the rename reach the disk before the call returns: the
    // file holds the old or the new content after a kill or a power cut, never none.
    Synced,
};

// Writes bytes to path through a temporary file in the same directory, then
// gives it the name (rename; on Windows MoveFileEx replacing the old file, with
// write-through when Synced); throws a FileError failure and leaves path as it was
// when a step fails.
void ReplaceFile(const std::string& path, std::span<const uint8_t> bytes, Durability durability);

}  // namespace korvid::cli
