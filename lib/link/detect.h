// Finding the programmer and checking its firmware identifier.
#pragma once

#include <cstdint>

namespace korvid::link {

// RC_OK, RC_NO_DEVICE, RC_FIRMWARE_MISMATCH or RC_COMM_FAIL; both links closed.
uint8_t DetectProgrammer();

}  // namespace korvid::link
