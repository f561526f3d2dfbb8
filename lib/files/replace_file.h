// Replacing a file's whole content so that no reader ever sees it half-written:
// the one routine behind the library's project files and the tool's outputs.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

namespace korvid::files {

enum class Durability {
    // The new content is complete before it takes the name; nothing is flushed to
    // disk on purpose, which keeps large outputs fast. The old file is removed just
    // before the rename (Linux file systems flush a file renamed over another at
    // once): for that moment no file stands there, and a crash may lose the file.
    Fast,
    // The new content and the rename reach the disk before the call returns: the
    // file holds the old or the new content after a kill or a power cut, never none.
    Synced,
};

// Writes the pieces, in order, as the new content of path:
// - a symbolic link is followed, also one that names no file yet: the file it
//   names gets the content and the link stays a link;
// - something that exists and is not a regular file (a device such as /dev/stdout
//   or NUL, a FIFO) is written in place; a FIFO without a reader is an error, not
//   a wait;
// - a regular file, new or existing, is written to a temporary file beside it and
//   renamed over it. An existing file keeps its mode (on Windows its attributes),
//   a new one gets the mode new files get (0666 less the umask). On failure the old
//   content stays and no temporary file is left.
// Returns 0, or the system's error code (errno; on Windows GetLastError()). On
// Windows path is in the process's ANSI code page.
int ReplaceFileContents(const char* path, std::initializer_list<std::span<const uint8_t>> pieces,
                        Durability durability);

}  // namespace korvid::files
