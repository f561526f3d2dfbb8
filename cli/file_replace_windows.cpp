#include "file_replace.h"

#include "korvid.h"
#include "messages.h"
#include "outcome.h"
#include "windows_text.h"

#include <windows.h>
// windows.h names its ReplaceFileA so; this file defines the tool's own ReplaceFile.
#undef ReplaceFile

#include <random>

namespace korvid::cli {
namespace {

[[noreturn]] void Fail(const std::string& path, DWORD error) {
    throw CommandFailure(ExitStatus::FileError,
                         korvid::core::Messages::cantCreateOrWrite.english + path + "\" ! (" +
                             WindowsErrorText(error) + ")",
                         RC_FILE_OPEN);
}

std::string FolderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    if (separator != std::string::npos) {
        return path.substr(0, separator + 1);
    }
    return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : "";
}

// A new file beside path (the rename must stay on one volume).
HANDLE CreateTemporary(const std::string& path, std::string& temporary) {
    std::random_device seed;
    std::mt19937 generator(seed());
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = FolderOf(path) + ".korvid-" + std::to_string(generator());
        HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes = bytes.subspan(written);
    }
    return true;
}

}  // namespace

void ReplaceFile(const std::string& path, std::span<const uint8_t> bytes, Durability durability) {
    std::string temporary;
    HANDLE file = CreateTemporary(path, temporary);
    if (file == INVALID_HANDLE_VALUE) {
        Fail(path, GetLastError());
    }
    bool written =
        WriteAll(file, bytes) && (durability != Durability::Synced || FlushFileBuffers(file) != 0);
    DWORD error = written ? ERROR_SUCCESS : GetLastError();
    if (!CloseHandle(file) && written) {
        written = false;
        error = GetLastError();
    }
    // The rename replaces the old file in one step; write-through returns only once
    // it is on the disk.
    const DWORD flags =
        MOVEFILE_REPLACE_EXISTING | (durability == Durability::Synced ? MOVEFILE_WRITE_THROUGH : 0);
    if (written && !MoveFileExA(temporary.c_str(), path.c_str(), flags)) {
        written = false;
        error = GetLastError();
    }
    if (!written) {
        DeleteFileA(temporary.c_str());
        Fail(path, error);
    }
}

}  // namespace korvid::cli
