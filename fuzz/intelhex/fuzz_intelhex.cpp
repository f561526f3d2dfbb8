#include "intel_hex.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const korvid::core::IntelHexImage image = korvid::core::ParseIntelHex(text);
    if (image.bytes.size() > korvid::core::kIntelHexImageLimit ||
        (image.error && (!image.bytes.empty() || image.error->line == 0))) {
        std::abort();
    }
    return 0;
}
