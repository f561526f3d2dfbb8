// What the user can do about a programmer that is attached but cannot be opened,
// after the library said why (KorvidCheckAccess, or a listed programmer that is
// not accessible).
#pragma once

#include <cstdint>
#include <string>

namespace korvid::cli {

// The advice for a KORVID_ACCESS_* cause about the device node (or device) node:
// one sentence naming the fix; "" for KORVID_ACCESS_OPENS and
// KORVID_ACCESS_NOT_ATTACHED.
std::string AccessAdvice(uint32_t cause, const std::string& node);

}  // namespace korvid::cli
