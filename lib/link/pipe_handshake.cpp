#include "link/pipe_handshake.h"

#include <array>

#include "link/pipe_link.h"

namespace korvid::link {

PipeHandshakeReply RequestPipeHandshake() {
    const std::array<uint8_t, 2> request{0x55, 0xAA};
    const uint8_t sent = PipeWrite(request.data(), request.size());
    std::array<uint8_t, 2> answer{};
    uint32_t received = 0;
    const uint8_t status = PipeRead(answer.data(), answer.size(), &received);
    if (received == answer.size()) {
        return {PipeHandshakeReply::Kind::Answered,
                static_cast<uint16_t>(answer[0] << 8 | answer[1])};
    }
    if (sent == PIPE_DONE && status == PIPE_TIMEOUT && received == 0) {
        return {PipeHandshakeReply::Kind::Unanswered};
    }
    return {PipeHandshakeReply::Kind::Failed};
}

}  // namespace korvid::link
