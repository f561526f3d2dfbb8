// Linux: access to the device nodes comes from the packaged udev rules.
#include "access_advice.h"

#include "korvid_ext.h"

namespace korvid::cli {

std::string AccessAdvice(uint32_t cause, const std::string& node) {
    switch (cause) {
        case KORVID_ACCESS_DENIED:
            return "The programmer is connected, but this user may not open " + node +
                   ": install 60-korvid.rules into /etc/udev/rules.d (the package puts it in "
                   "/usr/lib/udev/rules.d), then run 'udevadm control --reload && udevadm "
                   "trigger' or plug the programmer in again.";
        case KORVID_ACCESS_NO_DRIVER:
            return "The programmer is connected, but the system offers no device node for " + node +
                   ".";
        default:
            return {};
    }
}

}  // namespace korvid::cli
