// The dialog program's advice under "Not find device !" when the library says a
// programmer is attached that cannot be opened (KorvidCheckAccess's cause).
#pragma once

#include "text_pair.h"

#include <cstdint>

namespace korvid::core {

// The advice for a KORVID_ACCESS_* cause on this system; null for
// KORVID_ACCESS_OPENS and KORVID_ACCESS_NOT_ATTACHED.
const TextPair* AccessAdviceText(uint32_t cause);

}  // namespace korvid::core
