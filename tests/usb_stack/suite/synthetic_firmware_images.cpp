// The firmware images of the library the guest uses: the simulated programmers'
// synthetic images, clearly marked as such, in place of the programmers' own.
#include "firmware/builtin_images.h"
#include "firmware/firmware_images.h"
#include "link/sim/synthetic_firmware.h"

namespace korvid::firmware {

std::span<const BuiltinImage> builtinImages() {
    static const std::vector<uint8_t> hid =
        sim::SyntheticFirmwareImage(sim::kHidFirmwareImageBytes);
    static const std::vector<uint8_t> pipe =
        sim::SyntheticFirmwareImage(sim::kPipeFirmwareImageBytes);
    static const BuiltinImage images[] = {{kHidProgrammerImage, hid}, {kPipeProgrammerImage, pipe}};
    return images;
}

}  // namespace korvid::firmware
