#include "link/selection.h"

#include <cstdlib>
#include <optional>

namespace korvid::link {
namespace {

constexpr const char* kSelectionVariable = "KORVID_DEVICE";

struct Selection {
    std::optional<std::string> text;  // nothing until decided, then "" or the selection
    // Where the selected serial was last matched: a programmer re-appearing in its
    // firmware-update mode may answer without its serial string.
    std::string serialLocation;
};

Selection& theSelection() {
    static Selection selection;
    return selection;
}

const std::string& selectionText() {
    Selection& selection = theSelection();
    if (!selection.text) {
        const char* fromEnvironment = std::getenv(kSelectionVariable);
        selection.text = fromEnvironment != nullptr ? fromEnvironment : "";
    }
    return *selection.text;
}

}  // namespace

void SelectProgrammer(std::string_view locationOrSerial) {
    theSelection() = Selection{std::string(locationOrSerial), {}};
}

bool HasSelection() {
    return !selectionText().empty();
}

bool IsSelected(const DeviceIdentity& device) {
    const std::string& text = selectionText();
    if (text.empty() || device.location == text) {
        return true;
    }
    Selection& selection = theSelection();
    if (!device.serial.empty() && device.serial == text) {
        selection.serialLocation = device.location;
        return true;
    }
    const bool showsNoSerial = device.updateMode || device.serial.empty();
    return showsNoSerial && !device.location.empty() && device.location == selection.serialLocation;
}

}  // namespace korvid::link
