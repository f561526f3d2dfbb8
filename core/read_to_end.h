// Reading an opened file to its real end, whatever size it had when it was opened.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "code_file.h"

namespace korvid::core {

// One read of at most `room` bytes into target: the bytes read (0 at the end), or
// nullopt with `failure` set.
using ReadSome = std::function<std::optional<std::size_t>(uint8_t* target, std::size_t room,
                                                          FileFailure& failure)>;

// Reads the whole file, sized for expectedSize bytes; a file grown meanwhile past
// kCodeFileLimit is refused as an invalid file.
CodeFile ReadToEnd(std::size_t expectedSize, const ReadSome& readSome);

}  // namespace korvid::core
