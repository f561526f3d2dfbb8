// The exported programmer list, selection, detection and access check: C in, C++
// inside, no exception out. Each call and its return are written to a running wire
// trace, so a trace tells which programmer the operations after a selection went to.
#include <algorithm>
#include <cstring>
#include <string>

#include "korvid_ext.h"
#include "link/detect.h"
#include "link/programmer_access.h"
#include "link/programmer_list.h"
#include "link/programmer_trace_fields.h"
#include "link/selection.h"
#include "link/trace/api_call.h"
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

uint32_t causeCode(korvid::link::Access access) {
    switch (access) {
        case korvid::link::Access::Opens:
            return KORVID_ACCESS_OPENS;
        case korvid::link::Access::NotAttached:
            break;
        case korvid::link::Access::Denied:
            return KORVID_ACCESS_DENIED;
        case korvid::link::Access::NoDriver:
            return KORVID_ACCESS_NO_DRIVER;
    }
    return KORVID_ACCESS_NOT_ATTACHED;
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
    korvid::trace::ApiCall call("KorvidListProgrammers");
    uint32_t count = 0;
    try {
        const auto programmers = korvid::link::ListProgrammers();
        const size_t filled = list == nullptr ? 0 : std::min<size_t>(capacity, programmers.size());
        for (size_t i = 0; i < filled; ++i) {
            list[i] = infoRecord(programmers[i]);
        }
        count = static_cast<uint32_t>(programmers.size());
    } catch (...) {
    }
    call.returned(RC_OK, [&] { return korvid::link::ListReturnFields(count); });
    return count;
}

uint8_t KorvidSelectProgrammer(const char* locationOrSerial) {
    const char* text = locationOrSerial != nullptr ? locationOrSerial : "";
    const size_t length = strnlen(text, kMaxSelectionBytes + 1);
    korvid::trace::ApiCall call("KorvidSelectProgrammer", [&] {
        return korvid::trace::TraceFields{{"device", std::string(text, length)}};
    });
    uint8_t result = RC_NO_DEVICE;
    try {
        if (length <= kMaxSelectionBytes) {
            korvid::link::SelectProgrammer(text);
            result = RC_OK;
        }
    } catch (...) {
    }
    call.returned(result);
    return result;
}

uint8_t KorvidDetectProgrammer(KorvidDetection* detection) {
    korvid::trace::ApiCall call("KorvidDetectProgrammer");
    uint8_t result = RC_COMM_FAIL;
    KorvidDetection found{};
    try {
        korvid::link::Detection detected;
        result = korvid::link::DetectProgrammer(&detected);
        if (result == RC_OK || result == RC_FIRMWARE_MISMATCH) {
            found.link = linkCode(detected.link);
            found.identifier = detected.identifier;
            found.firmwareMatches = result == RC_OK ? 1 : 0;
            korvid::link::CopyUtf8Field(detected.location, found.location, sizeof found.location);
        }
    } catch (...) {
    }
    if (detection != nullptr) {
        *detection = found;
    }
    call.returned(result, [&] { return korvid::link::DetectionReturnFields(found); });
    return result;
}

uint8_t KorvidCheckAccess(KorvidAccess* access) {
    korvid::trace::ApiCall call("KorvidCheckAccess");
    KorvidAccess found{};
    found.cause = KORVID_ACCESS_NOT_ATTACHED;
    try {
        const korvid::link::AccessDiagnosis diagnosis = korvid::link::DiagnoseAccess();
        found.cause = causeCode(diagnosis.access);
        found.link = linkCode(diagnosis.link);
        korvid::link::CopyUtf8Field(diagnosis.location, found.location, sizeof found.location);
        korvid::link::CopyUtf8Field(diagnosis.node, found.node, sizeof found.node);
    } catch (...) {
    }
    if (access != nullptr) {
        *access = found;
    }
    const uint8_t result = found.cause == KORVID_ACCESS_OPENS ? RC_OK : RC_NO_DEVICE;
    call.returned(result, [&] { return korvid::link::AccessReturnFields(found); });
    return result;
}
