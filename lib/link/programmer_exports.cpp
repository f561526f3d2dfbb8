// The exported programmer list, selection and detection: C in, C++ inside, no
// exception out.
#include <algorithm>
#include <cstring>

#include "korvid_ext.h"
#include "link/detect.h"
#include "link/programmer_list.h"
#include "link/selection.h"
#include "link/utf8_field.h"

namespace {

// The longest text that can name a programmer: a serial string filling its field.
constexpr size_t kMaxSelectionBytes = KORVID_USB_SERIAL_SIZE - 1;

uint32_t linkCode(korvid::link::LinkKind link) {
    switch (link) {
        case korvid::link::LinkKind::Hid:
            return KORVID_LINK_HID;
        case korvid::link::LinkKind::Pipe:
            return KORVID_LINK_PIPE;
        case korvid::link::LinkKind::None:
            break;
    }
    return 0;
}

KorvidProgrammerInfo infoRecord(const korvid::link::ProgrammerEntry& entry) {
    KorvidProgrammerInfo info{};
    info.link = linkCode(entry.link);
    info.updateMode = entry.updateMode ? 1 : 0;
    info.accessible = entry.accessible ? 1 : 0;
    korvid::link::CopyUtf8Field(entry.location, info.location, sizeof info.location);
    korvid::link::CopyUtf8Field(entry.serial, info.serial, sizeof info.serial);
    korvid::link::CopyUtf8Field(entry.node, info.node, sizeof info.node);
    return info;
}

}  // namespace

uint32_t KorvidListProgrammers(KorvidProgrammerInfo* list, uint32_t capacity) {
    try {
        const auto programmers = korvid::link::ListProgrammers();
        const size_t filled = list == nullptr ? 0 : std::min<size_t>(capacity, programmers.size());
        for (size_t i = 0; i < filled; ++i) {
            list[i] = infoRecord(programmers[i]);
        }
        return static_cast<uint32_t>(programmers.size());
    } catch (...) {
        return 0;
    }
}

uint8_t KorvidSelectProgrammer(const char* locationOrSerial) {
    try {
        const char* text = locationOrSerial != nullptr ? locationOrSerial : "";
        if (strnlen(text, kMaxSelectionBytes + 1) > kMaxSelectionBytes) {
            return RC_NO_DEVICE;
        }
        korvid::link::SelectProgrammer(text);
        return RC_OK;
    } catch (...) {
        return RC_NO_DEVICE;
    }
}

uint8_t KorvidDetectProgrammer(KorvidDetection* detection) {
    try {
        korvid::link::Detection found;
        const uint8_t result = korvid::link::DetectProgrammer(&found);
        if (detection != nullptr) {
            *detection = KorvidDetection{};
            if (result == RC_OK || result == RC_FIRMWARE_MISMATCH) {
                detection->link = linkCode(found.link);
                detection->identifier = found.identifier;
                detection->firmwareMatches = result == RC_OK ? 1 : 0;
                korvid::link::CopyUtf8Field(found.location, detection->location,
                                            sizeof detection->location);
            }
        }
        return result;
    } catch (...) {
        return RC_COMM_FAIL;
    }
}
