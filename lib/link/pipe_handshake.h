// The older programmer's handshake request: 0x55 0xAA out, the 2-byte identifier in
// (most significant byte first). Detection and the firmware update both begin with it.
#pragma once

#include <cstdint>

namespace korvid::link {

struct PipeHandshakeReply {
    enum class Kind {
        Answered,    // both bytes of the identifier arrived
        Unanswered,  // the request went out whole, and its read timed out with nothing
        Failed,      // anything else: no request, a short or failed answer
    };
    Kind kind = Kind::Failed;
    uint16_t identifier = 0;  // when Answered
};

// Sends the request on the open pipe device and reads its answer. The statuses of
// the two exchanges decide nothing by themselves: an answer counts when both of its
// bytes arrived, whatever the status blocks said.
PipeHandshakeReply RequestPipeHandshake();

}  // namespace korvid::link
