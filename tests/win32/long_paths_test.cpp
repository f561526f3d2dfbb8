// Paths as the dialog hands them on from the file dialogs, through the narrow file
// calls of the job logic and the library.
#include "code_file.h"
#include "korvid.h"
#include "wide_text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

namespace korvid::win32 {
namespace {

// What the dialog hands on from the file dialogs: a UTF-8 path, here longer than
// the 260 characters of old Windows and through a Chinese folder. The program's
// manifest makes UTF-8 the narrow calls' code page and asks for long paths, as
// this program's does.
TEST(PathsOnWindows, LongNonAsciiPathsReachTheFilesThroughTheNarrowCalls) {
    wchar_t temporary[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temporary);
    std::wstring path = std::wstring(temporary) + L"korvid-long-" + std::to_wstring(GetCurrentProcessId());
    std::vector<std::wstring> folders;
    while (path.size() < 300) {
        ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        folders.push_back(path);
        path += L"\\长路径-" + std::wstring(40, L'd');
    }
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    folders.push_back(path);
    if (GetFileAttributesA(core::Utf8FromWide(path).c_str()) == INVALID_FILE_ATTRIBUTES) {
        for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
            RemoveDirectoryW(folder->c_str());
        }
        GTEST_SKIP() << "this system's narrow file calls stop at 260 characters (wine; Windows "
                        "before 10 version 1607, or without long paths enabled)";
    }
    const std::wstring code = path + L"\\blink.bin";
    const HANDLE file = CreateFileW(code.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "\x02\x01\x00", 3, &written, nullptr);
    CloseHandle(file);

    const core::CodeFile read = core::ReadCodeFile(core::Utf8FromWide(code));
    EXPECT_EQ(read.failure, core::FileFailure::None);
    EXPECT_EQ(read.bytes, std::vector<uint8_t>({0x02, 0x01, 0x00}));

    JobRecord job{};
    uint8_t bytes[3] = {2, 1, 0};
    job.codeLength = 3;
    job.codeBuffer = bytes;
    const std::wstring project = path + L"\\项目.kpj";
    EXPECT_EQ(SaveKPJ(core::Utf8FromWide(project).c_str(), &job, 0), RC_OK);
    EXPECT_NE(GetFileAttributesW(project.c_str()), INVALID_FILE_ATTRIBUTES);

    DeleteFileW(code.c_str());
    DeleteFileW(project.c_str());
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        RemoveDirectoryW(folder->c_str());
    }
}

}  // namespace
}  // namespace korvid::win32
