#include "code_format.h"

#include "hex_digit.h"

#include <algorithm>

namespace korvid::core {
namespace {

constexpr std::size_t kMinRecordBytes = 5;    // count, address (2), type, checksum
constexpr std::size_t kMaxRecordBytes = 260;  // with 255 data bytes

// One whole line: ':' then pairs of hexadecimal digits and nothing else.
bool IsWellFormedRecord(std::string_view line) {
    if (line.empty() || line.front() != ':') {
        return false;
    }
    const std::size_t digits = line.size() - 1;
    const std::size_t length = digits / 2;
    if (digits % 2 != 0 || length < kMinRecordBytes || length > kMaxRecordBytes) {
        return false;
    }
    unsigned sum = 0;
    unsigned count = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const int high = HexDigitValue(line[1 + 2 * i]);
        const int low = HexDigitValue(line[2 + 2 * i]);
        if (high < 0 || low < 0) {
            return false;
        }
        const auto byte = static_cast<unsigned>(high << 4 | low);
        if (i == 0) {
            count = byte;
        }
        sum += byte;
    }
    return (sum & 0xFF) == 0 && length == count + kMinRecordBytes;
}

}  // namespace

std::string UpperExtension(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    std::string extension(dot == std::string_view::npos ? std::string_view()
                                                        : name.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return extension;
}

CodeFormat FormatOfExtension(std::string_view extension) {
    std::string upper(extension);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    if (upper == "HEX" || upper == "IHX" || upper == "IHEX") {
        return CodeFormat::IntelHex;
    }
    return upper == "KPJ" ? CodeFormat::Project : CodeFormat::Binary;
}

CodeFormat FormatOfPath(std::string_view path) {
    return FormatOfExtension(UpperExtension(path));
}

bool LooksLikeIntelHex(std::span<const uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::size_t start = std::min(text.find_first_not_of("\r\n"), text.size());
    return IsWellFormedRecord(text.substr(start, text.find_first_of("\r\n", start) - start));
}

}  // namespace korvid::core
