// Windows: the HID programmer needs Windows' own HID driver, the older programmer
// the still-image USB driver.
#include "access_advice.h"

#include "korvid_ext.h"

namespace korvid::cli {

std::string AccessAdvice(uint32_t cause, const std::string& node) {
    switch (cause) {
        case KORVID_ACCESS_DENIED:
            return "The programmer is connected, but Windows refused this user access to " + node +
                   ": check that no other program holds the programmer open.";
        case KORVID_ACCESS_NO_DRIVER:
            return "The programmer is connected, but Windows offers no usable device for " + node +
                   ": the HID programmer needs Windows' own HID driver (it binds by itself), the "
                   "older programmer the still-image USB driver (usbscan.sys) bound to "
                   "USB\\VID_4C7B&PID_030D. See the README's Windows section.";
        default:
            return {};
    }
}

}  // namespace korvid::cli
