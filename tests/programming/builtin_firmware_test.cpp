// Firmware images compiled into the library at build time: this test program is
// built with a small HID image embedded by the same CMake step as the library,
// and without a pipe image.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "firmware/firmware_images.h"

namespace korvid::firmware {
namespace {

std::vector<uint8_t> embeddedTestImage() {
    const std::string text = "\x02KORVID-TEST-IMAGE";
    return {text.begin(), text.end()};
}

std::vector<uint8_t> bytesOf(std::span<const uint8_t> image) {
    return {image.begin(), image.end()};
}

TEST(BuiltinFirmware, EmbeddedImageIsFoundByResourceIdentifier) {
    const auto image = find(kHidProgrammerImage);
    ASSERT_TRUE(image);
    EXPECT_EQ(bytesOf(*image), embeddedTestImage());
    EXPECT_FALSE(find(kPipeProgrammerImage));
    EXPECT_FALSE(find(1234));
}

TEST(BuiltinFirmware, InstalledImageTakesPrecedenceUntilRemoved) {
    install(kHidProgrammerImage, std::vector<uint8_t>{0x02, 0x00, 0x03});
    install(kPipeProgrammerImage, std::vector<uint8_t>{0x02, 0x01});
    EXPECT_EQ(bytesOf(*find(kHidProgrammerImage)), (std::vector<uint8_t>{0x02, 0x00, 0x03}));
    EXPECT_EQ(bytesOf(*find(kPipeProgrammerImage)), (std::vector<uint8_t>{0x02, 0x01}));

    install(kHidProgrammerImage, std::nullopt);
    install(kPipeProgrammerImage, std::nullopt);
    EXPECT_EQ(bytesOf(*find(kHidProgrammerImage)), embeddedTestImage());
    EXPECT_FALSE(find(kPipeProgrammerImage));
}

}  // namespace
}  // namespace korvid::firmware
