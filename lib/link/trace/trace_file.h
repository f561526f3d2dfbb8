// The file a trace is written to. Every line goes out with one write(2) (on
// Windows one WriteFile on a handle that may only append), so the file holds only
// whole lines even when the process dies in the middle of an operation.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace korvid::trace {

class TraceFile {
public:
    // Opens `path` for appending, creating it (mode 0644 before the umask) when it
    // does not exist; nullptr when it cannot be opened.
    static std::unique_ptr<TraceFile> OpenForAppending(const std::string& path);

    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    // Appends the line and its line end. A failing write (disk full) loses the line
    // and nothing else: the trace never disturbs the operation it records.
    void writeLine(std::string_view line);

private:
#if defined(_WIN32)
    using NativeFile = void*;  // HANDLE
#else
    using NativeFile = int;  // file descriptor
#endif
    explicit TraceFile(NativeFile file) : file_(file) {}

    NativeFile file_;
};

}  // namespace korvid::trace
