// Firmware images built into the library at build time: this test program is
// built with a small HID image embedded by the same CMake step as the library,
// and without a pipe image. On Windows the image is a resource of type "BINARY"
// of a test module named KORVID.dll, found only while that module is loaded.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#endif

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

class BuiltinFirmware : public ::testing::Test {
#if defined(_WIN32)
protected:
    void SetUp() override {
        module_ = LoadLibraryA(KORVID_TEST_RESOURCE_MODULE);
        ASSERT_NE(module_, nullptr) << KORVID_TEST_RESOURCE_MODULE;
    }
    void TearDown() override {
        FreeLibrary(module_);
    }

private:
    HMODULE module_ = nullptr;
#endif
};

TEST_F(BuiltinFirmware, EmbeddedImageIsFoundByResourceIdentifier) {
    const auto image = find(kHidProgrammerImage);
    ASSERT_TRUE(image);
    EXPECT_EQ(bytesOf(*image), embeddedTestImage());
    EXPECT_FALSE(find(kPipeProgrammerImage));
    EXPECT_FALSE(find(1234));
}

TEST_F(BuiltinFirmware, InstalledImageTakesPrecedenceUntilRemoved) {
    install(kHidProgrammerImage, std::vector<uint8_t>{0x02, 0x00, 0x03});
    install(kPipeProgrammerImage, std::vector<uint8_t>{0x02, 0x01});
    EXPECT_EQ(bytesOf(*find(kHidProgrammerImage)), (std::vector<uint8_t>{0x02, 0x00, 0x03}));
    EXPECT_EQ(bytesOf(*find(kPipeProgrammerImage)), (std::vector<uint8_t>{0x02, 0x01}));

    install(kHidProgrammerImage, std::nullopt);
    install(kPipeProgrammerImage, std::nullopt);
    EXPECT_EQ(bytesOf(*find(kHidProgrammerImage)), embeddedTestImage());
    EXPECT_FALSE(find(kPipeProgrammerImage));
}

#if defined(_WIN32)
// Without a module named KORVID.dll in the process there is no image, which
// UpdateFW answers with RC_NO_RESOURCE.
TEST(BuiltinFirmwareModule, ImagesAreLookedUpOnlyInTheModuleNamedKorvidDll) {
    ASSERT_EQ(GetModuleHandleA("KORVID.dll"), nullptr);
    EXPECT_FALSE(find(kHidProgrammerImage));
    HMODULE module = LoadLibraryA(KORVID_TEST_RESOURCE_MODULE);
    ASSERT_NE(module, nullptr);
    EXPECT_TRUE(find(kHidProgrammerImage));
    FreeLibrary(module);
    EXPECT_FALSE(find(kHidProgrammerImage));
}
#endif

}  // namespace
}  // namespace korvid::firmware
