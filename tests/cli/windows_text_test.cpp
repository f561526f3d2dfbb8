// The tool's Windows texts: command lines that give each argument back unchanged,
// and arguments that an older Windows would hand over altered.
#include "windows_text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

namespace korvid::cli {
namespace {

// What CommandLineToArgvW, the splitting the C runtime follows, makes of a line.
std::vector<std::wstring> Split(const std::wstring& line) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(line.c_str(), &count);
    std::vector<std::wstring> split(arguments, arguments + count);
    LocalFree(arguments);
    return split;
}

TEST(CommandLine, GivesEveryArgumentBackUnchanged) {
    const std::vector<std::wstring> arguments{
        L"C:\\Program Files\\korvid.exe",
        L"worker",
        L"{\"file\":\"C:\\\\a b\\\\blink.hex\",\"part\":\"Part A4\"}",
        L"",
        L"trailing\\",
        L"quoted \"inner\" \\\"",
        L"tab\there",
        L"\u4E2D\u6587 caf\u00E9"};
    EXPECT_EQ(Split(CommandLine(arguments)), arguments);
    EXPECT_EQ(QuotedArgument(L"plain"), L"plain");
    EXPECT_EQ(QuotedArgument(L"a\\\\b"), L"a\\\\b");  // backslashes alone stay as they are
}

TEST(ArgumentCheck, RefusesOnlyTextThatAnOlderWindowsWouldConvert) {
    const std::vector<std::wstring> ascii{L"C:\\k\u00F6rvid\\korvid.exe", L"program", L"a.hex"};
    const std::vector<std::wstring> chinese{L"korvid.exe", L"program", L"\u4E2D.hex"};
    EXPECT_EQ(FirstArgumentAlteredBy(kUtf8CodePage, chinese), std::nullopt);
    EXPECT_EQ(FirstArgumentAlteredBy(1252, ascii), std::nullopt);  // the program's own path may be
    EXPECT_EQ(FirstArgumentAlteredBy(936, chinese), 2u);
    EXPECT_EQ(FirstArgumentAlteredBy(1252, {L"korvid.exe", L"caf\u00E9.hex"}), 1u);
}

TEST(WindowsErrorText, NamesTheErrorAndItsNumber) {
    const std::string text = WindowsErrorText(ERROR_FILE_NOT_FOUND);
    EXPECT_NE(text.find("Windows error 2"), std::string::npos) << text;
    EXPECT_NE(text.back(), '\n');
    EXPECT_EQ(WindowsErrorText(0x7FFFFFF0), "Windows error 2147483632");
}

}  // namespace
}  // namespace korvid::cli
