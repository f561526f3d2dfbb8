// The programmer this process works with when several are attached: chosen by
// USB location or serial string, by the program or by the environment variable
// KORVID_DEVICE. Every open of either link takes only the selected programmer;
// without a selection every programmer qualifies and the first one found is used.
#pragma once

#include <string>
#include <string_view>

namespace korvid::link {

// What an open knows about a device before it opens it.
struct DeviceIdentity {
    std::string_view location;
    std::string_view serial;
    bool updateMode = false;  // a HID programmer in its firmware-update mode
};

// Selects by location or serial string; "" clears the selection. Overrides
// KORVID_DEVICE, which is read only when this was never called before the first
// look at the selection.
void SelectProgrammer(std::string_view locationOrSerial);

// True while a programmer is selected.
bool HasSelection();

// True when a device qualifies: there is no selection, or the selection names its
// location or its serial string, or it re-appears where the selected serial was
// last matched while it cannot show that serial (in firmware-update mode, or
// without a serial at all). A match by serial remembers the location for that.
bool IsSelected(const DeviceIdentity& device);

}  // namespace korvid::link
