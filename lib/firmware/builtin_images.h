// The firmware images built into the library at build time (generated source).
#pragma once

#include <cstdint>
#include <span>

namespace korvid::firmware {

struct BuiltinImage {
    uint16_t resourceId;
    std::span<const uint8_t> bytes;
};

std::span<const BuiltinImage> builtinImages();

}  // namespace korvid::firmware
