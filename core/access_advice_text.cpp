// Linux: access to the device nodes comes from the packaged udev rules.
#include "access_advice_text.h"

#include "korvid_ext.h"
#include "messages.h"

namespace korvid::core {

const TextPair* AccessAdviceText(uint32_t cause) {
    return cause == KORVID_ACCESS_DENIED ? &Messages::programmerNotAccessible : nullptr;
}

}  // namespace korvid::core
