#include "narrow_paths.h"

#include "text_pair.h"

#include <algorithm>

namespace korvid::win32 {
namespace {

constexpr core::TextPair kPathRefused{
    "This Windows takes only file names of ASCII characters here (Windows 10 version 1903 "
    "and later take any): \"",
    "此 Windows 版本只能使用 ASCII 字符的文件名 (Windows 10 1903 及以后的版本不受此限): \""};

}  // namespace

bool NarrowCallsTakePath(std::string_view utf8Path, UINT ansiCodePage) {
    return ansiCodePage == CP_UTF8 ||
           std::all_of(utf8Path.begin(), utf8Path.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string PathRefusedText(std::string_view utf8Path, workbench::Language language) {
    return std::string(workbench::PairText(kPathRefused, language)) + std::string(utf8Path) +
           "\" !";
}

}  // namespace korvid::win32
