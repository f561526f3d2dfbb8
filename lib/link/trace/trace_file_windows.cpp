#include "link/trace/trace_file.h"

#include <windows.h>

namespace korvid::trace {

std::unique_ptr<TraceFile> TraceFile::OpenForAppending(const std::string& path) {
    // Append-only access: every write goes to the end of the file as one piece,
    // whatever other processes append meanwhile.
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::unique_ptr<TraceFile>(new TraceFile(file));
}

TraceFile::~TraceFile() {
    CloseHandle(file_);
}

void TraceFile::writeLine(std::string_view line) {
    std::string whole;
    whole.reserve(line.size() + 1);
    whole.append(line);
    whole += '\n';
    DWORD written = 0;
    // A failed write (disk full) loses the line: the trace never disturbs the operation.
    WriteFile(file_, whole.data(), static_cast<DWORD>(whole.size()), &written, nullptr);
}

}  // namespace korvid::trace
