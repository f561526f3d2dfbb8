#include "intel_hex.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<uint8_t> image = korvid::core::ParseIntelHex(text);
    if (image.size() > korvid::core::kIntelHexImageLimit) {
        std::abort();
    }
    return 0;
}
