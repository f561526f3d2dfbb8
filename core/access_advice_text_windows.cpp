// Windows: the HID programmer needs Windows' own HID driver, the older one the
// still-image USB driver.
#include "access_advice_text.h"

#include "korvid_ext.h"
#include "messages.h"

namespace korvid::core {

const TextPair* AccessAdviceText(uint32_t cause) {
    switch (cause) {
        case KORVID_ACCESS_DENIED:
            return &Messages::programmerRefusedByWindows;
        case KORVID_ACCESS_NO_DRIVER:
            return &Messages::programmerWithoutDriver;
        default:
            return nullptr;
    }
}

}  // namespace korvid::core
