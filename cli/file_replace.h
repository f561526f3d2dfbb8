// Replacing an output file's whole content, with the tool's failure message: the
// routine the library saves projects with (files/replace_file.h).
#pragma once

#include "files/replace_file.h"

#include <cstdint>
#include <span>
#include <string>

namespace korvid::cli {

using korvid::files::Durability;

// Writes bytes as the new content of path (through a symbolic link to its target,
// into a device or FIFO directly, over a regular file by a rename); throws a
// FileError failure, leaving path as it was, when a step fails.
void ReplaceFile(const std::string& path, std::span<const uint8_t> bytes, Durability durability);

}  // namespace korvid::cli
