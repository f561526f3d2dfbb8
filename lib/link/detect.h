// Finding the programmer and checking its firmware identifier.
#pragma once

#include <cstdint>
#include <string>

namespace korvid::link {

enum class LinkKind { None, Hid, Pipe };

// Who answered the handshake: filled when a programmer answered with an identifier
// (RC_OK or RC_FIRMWARE_MISMATCH), left as it was otherwise.
struct Detection {
    LinkKind link = LinkKind::None;
    uint16_t identifier = 0;  // as answered
    std::string location;     // USB location of the programmer that answered
};

// RC_OK, RC_NO_DEVICE, RC_FIRMWARE_MISMATCH or RC_COMM_FAIL; both links closed.
uint8_t DetectProgrammer();
// The same handshake, telling who answered when detection is not null.
uint8_t DetectProgrammer(Detection* detection);

}  // namespace korvid::link
