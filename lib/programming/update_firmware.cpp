#include "link/hid_link.h"
#include "programming/firmware_update.h"
#include "programming/operations.h"
#include "programming/progress.h"

namespace korvid::programming {

uint8_t updateFirmware() {
    const Progress progress(KORVID_OPERATION_UPDATE_FW);
    HidLinkSession hid;
    if (hid.open(link::kHidProductNormal)) {
        return updateHidFirmware(hid, progress);
    }
    if (hid.open(link::kHidProductFirmwareUpdate)) {
        return resumeHidFirmwareUpdate(hid, progress);
    }
    return updatePipeFirmware(progress);
}

}  // namespace korvid::programming
