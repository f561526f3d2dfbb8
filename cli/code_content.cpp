#include "code_content.h"

#include "code_format.h"
#include "intel_hex.h"
#include "intel_hex_message.h"
#include "outcome.h"

namespace korvid::cli {

void RequireIntelHex(const std::string& path, std::span<const uint8_t> bytes,
                     const std::string& advice) {
    if (!korvid::core::LooksLikeIntelHex(bytes)) {
        throw CommandFailure(ExitStatus::NotIntelHex,
                             "\"" + path +
                                 "\" is not Intel HEX: its first line that is not empty is not a "
                                 "record with a good checksum; " +
                                 advice);
    }
}

std::vector<uint8_t> ConvertIntelHex(const std::string& path, std::string_view text) {
    korvid::core::IntelHexImage image = korvid::core::ParseIntelHex(text);
    if (image.error) {
        throw CommandFailure(ExitStatus::NotIntelHex,
                             korvid::core::IntelHexErrorMessage(*image.error, path).english);
    }
    return std::move(image.bytes);
}

void RefuseIntelHexAsBinary(const std::string& path, std::span<const uint8_t> bytes) {
    if (korvid::core::LooksLikeIntelHex(bytes)) {
        throw CommandFailure(ExitStatus::IntelHexAsBinary,
                             "\"" + path +
                                 "\" looks like Intel HEX; give --format hex to read it as Intel "
                                 "HEX or --format bin to use its bytes as they are");
    }
}

}  // namespace korvid::cli
