#include "firmware/firmware_images.h"

#include <map>
#include <utility>

#include "firmware/builtin_images.h"

namespace korvid::firmware {
namespace {

// Images installed at run time; they take precedence over the built-in ones.
std::map<uint16_t, std::vector<uint8_t>>& installedImages() {
    static std::map<uint16_t, std::vector<uint8_t>> images;
    return images;
}

}  // namespace

std::optional<std::span<const uint8_t>> find(uint16_t resourceId) {
    const auto& installed = installedImages();
    if (auto it = installed.find(resourceId); it != installed.end()) {
        return std::span<const uint8_t>(it->second);
    }
    for (const BuiltinImage& image : builtinImages()) {
        if (image.resourceId == resourceId) {
            return image.bytes;
        }
    }
    return std::nullopt;
}

void install(uint16_t resourceId, std::optional<std::vector<uint8_t>> image) {
    if (image) {
        installedImages()[resourceId] = std::move(*image);
    } else {
        installedImages().erase(resourceId);
    }
}

}  // namespace korvid::firmware
