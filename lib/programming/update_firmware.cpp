#include "link/hid_link.h"
#include "programming/firmware_update.h"
#include "programming/operations.h"

namespace korvid::programming {

uint8_t updateFirmware() {
    HidLinkSession hid;
    if (hid.open(link::kHidProductNormal)) {
        return updateHidFirmware(hid);
    }
    return updatePipeFirmware();
}

}  // namespace korvid::programming
