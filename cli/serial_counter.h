// The serial counter file: the next free serial number, kept across commands
// and shared by commands running at once.
//
// The file holds one line, "0x" and 8 upper-case hexadecimal digits, e.g.
// "0x00001300\n". A reservation takes an exclusive flock (on Windows LockFileEx)
// on a lock file beside it (FILE.lock, which is never renamed or removed, so every
// command locks the same file), reads the value, writes the value after the
// reserved numbers through a synced temporary file renamed over the counter, and
// releases the lock. The
// numbers are thus spoken for before any programmer is touched: a command killed
// at any moment never moves the counter backwards, and two commands never get
// the same numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvid::cli {

// The value of a counter file's text; nullopt when it is not one line of "0x" and
// 1 to 8 hexadecimal digits (the final newline may be missing).
std::optional<uint32_t> ParseCounterText(std::string_view text);

// The counter file's text for value.
std::string CounterText(uint32_t value);

// Reserves count numbers from the counter at path and returns the first of them;
// a missing file counts as holding initial. Throws a CounterCorrupt failure for a
// file that holds something else, a FileError failure when the file or its lock
// cannot be read or written, and a BadSetting failure when the numbers would pass
// 0xFFFFFFFF; the counter is unchanged then.
uint32_t ReserveSerialNumbers(const std::string& path, uint32_t initial, uint64_t count);

}  // namespace korvid::cli
