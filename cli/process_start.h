// What the tool sets up before it reads its command line.
#pragma once

namespace korvid::cli {

#if defined(_WIN32)
// Windows: the console shows UTF-8 (every text of the tool is UTF-8), standard
// output and error end their lines with LF alone as on Linux, and the arguments
// are checked: korvid.exe's manifest makes UTF-8 its ANSI code page
// (Windows 10 version 1903 and later), so file names in any script pass through
// the narrow calls unchanged; on an older Windows an argument that is not ASCII
// could reach the tool altered, so the tool refuses it and exits with status 2.
// Returns the exit status to end with, or 0 to go on.
int StartProcess();

// Said in the tool's help on Windows.
inline constexpr const char* kPlatformNote =
    "On Windows before 10 version 1903 arguments (file names too) must be ASCII.";
#else
inline int StartProcess() {
    return 0;
}
inline constexpr const char* kPlatformNote = "";
#endif

}  // namespace korvid::cli
