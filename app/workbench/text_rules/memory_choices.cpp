#include "memory_choices.h"

#include "hex_text.h"

#include <cstdio>
#include <string_view>

namespace korvid::workbench {
namespace {

std::string Kilobytes(double kilobytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%2.1f k", kilobytes);
    return text;
}

std::string AddressRange(uint32_t first, uint32_t last) {
    char text[40];
    std::snprintf(text, sizeof text, "%04Xh - %04Xh", first, last);
    return text;
}

}  // namespace

std::vector<uint32_t> ParseMemoryList(const char* list) {
    std::vector<uint32_t> sizes;
    if (list == nullptr) {
        return sizes;
    }
    std::string_view rest(list);
    for (;;) {
        const std::size_t comma = rest.find(',');
        sizes.push_back(ScanHex(rest.substr(0, comma)).value_or(0));
        if (comma == std::string_view::npos) {
            return sizes;
        }
        rest.remove_prefix(comma + 1);
    }
}

std::string IspMemoryItemText(uint32_t sizeBytes) {
    return sizeBytes == 0 ? std::string("NA") : Kilobytes(sizeBytes / 1024.0);
}

std::string IapMemoryItemText(uint32_t n) {
    return Kilobytes(n * 0.5);
}

uint32_t IapMemoryItemCount(uint32_t flashSize, uint32_t ispSize) {
    return ispSize > flashSize ? 1 : (flashSize - ispSize) / kIapMemoryUnitBytes + 1;
}

std::string IspMemoryTip(uint32_t flashSize, uint32_t ispSize) {
    return ispSize == 0 ? std::string("NA") : AddressRange(flashSize - ispSize, flashSize - 1);
}

std::string IapMemoryTip(uint32_t flashSize, uint32_t ispSize, uint32_t n) {
    if (n == 0) {
        return "NA";
    }
    return AddressRange(flashSize - n * kIapMemoryUnitBytes - ispSize, flashSize - ispSize - 1);
}

}  // namespace korvid::workbench
