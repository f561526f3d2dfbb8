#include "link/programmer_access.h"

#include <algorithm>
#include <vector>

#include "link/hid_link.h"
#include "link/pipe_link.h"
#include "link/platform.h"
#include "link/programmer_list.h"
#include "link/selection.h"

namespace korvid::link {
namespace {

LinkKind linkOfProduct(uint16_t productId) {
    switch (productId) {
        case kHidProductNormal:
        case kHidProductFirmwareUpdate:
            return LinkKind::Hid;
        case kPipeProduct:
            return LinkKind::Pipe;
        default:
            return LinkKind::None;
    }
}

}  // namespace

AccessDiagnosis DiagnoseAccess() {
    const std::vector<ProgrammerEntry> listed = ListProgrammers();
    std::vector<const ProgrammerEntry*> named;
    for (const ProgrammerEntry& entry : listed) {
        if (IsSelected({entry.location, entry.serial, entry.updateMode})) {
            named.push_back(&entry);
        }
    }
    const auto opens = std::find_if(named.begin(), named.end(),
                                    [](const auto* entry) { return entry->accessible; });
    if (opens != named.end()) {
        return {Access::Opens, (*opens)->link, (*opens)->location, (*opens)->node};
    }
    if (!named.empty()) {
        return {Access::Denied, named.front()->link, named.front()->location, named.front()->node};
    }
    for (const platform::TreeUsbDevice& device : platform::treeUsbDevices(kVendorId)) {
        const LinkKind link = linkOfProduct(device.productId);
        const bool inList = std::any_of(listed.begin(), listed.end(), [&](const auto& entry) {
            return entry.location == device.location;
        });
        if (link != LinkKind::None && !inList &&
            IsSelected(
                {device.location, device.serial, device.productId == kHidProductFirmwareUpdate})) {
            return {Access::NoDriver, link, device.location, device.instance};
        }
    }
    return {};
}

}  // namespace korvid::link
