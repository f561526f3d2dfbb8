// The programmer firmware images the library carries, looked up by resource
// identifier. An image is present only when the build was given its file
// (KORVID_FIRMWARE_HID_IMAGE / KORVID_FIRMWARE_PIPE_IMAGE); tests and the demo
// mode install their own images at run time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace korvid::firmware {

inline constexpr uint16_t kHidProgrammerImage = 7004;
inline constexpr uint16_t kPipeProgrammerImage = 7001;

// The image for a resource identifier, or nothing when the library lacks it.
std::optional<std::span<const uint8_t>> find(uint16_t resourceId);

// Installs an image in place of the built-in one (tests, simulated programmers);
// an empty optional removes it again, so that find() reports the built-in image.
void install(uint16_t resourceId, std::optional<std::vector<uint8_t>> image);

}  // namespace korvid::firmware
