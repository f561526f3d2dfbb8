#include "link/programmer_list.h"

#include "link/hid_link.h"
#include "link/pipe_link.h"
#include "link/platform.h"

namespace korvid::link {

std::vector<ProgrammerEntry> ListProgrammers() {
    std::vector<ProgrammerEntry> programmers;
    const platform::Platform& platform = platform::current();
    if (platform.hid != nullptr) {
        for (const platform::HidDeviceInfo& device : platform.hid->enumerate()) {
            const bool normal = device.productId == kHidProductNormal;
            const bool updateMode = device.productId == kHidProductFirmwareUpdate;
            if (device.vendorId == kVendorId && (normal || updateMode)) {
                programmers.push_back({LinkKind::Hid, updateMode, device.accessible,
                                       device.location, device.serial, device.path});
            }
        }
    }
    if (platform.pipe != nullptr) {
        for (const platform::PipeDeviceInfo& device :
             platform.pipe->enumerate(kVendorId, kPipeProduct)) {
            programmers.push_back({LinkKind::Pipe, false, device.accessible, device.location,
                                   device.serial, device.node});
        }
    }
    return programmers;
}

}  // namespace korvid::link
