// The library's code page 936 texts as UTF-8, through Windows' code page tables.
#include "part_lookup.h"
#include "windows_text.h"

namespace korvid::cli {

std::string Cp936ToUtf8(const char* text) {
    constexpr unsigned kGbk = 936;
    return CodePageFromWide(kUtf8CodePage, WideFromCodePage(kGbk, text == nullptr ? "" : text));
}

}  // namespace korvid::cli
