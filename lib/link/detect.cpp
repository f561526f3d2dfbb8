#include "link/detect.h"

#include <array>
#include <optional>

#include "korvid.h"
#include "link/hid_link.h"
#include "link/pipe_handshake.h"
#include "link/pipe_link.h"
#include "link/programmer_identifier.h"

namespace korvid::link {
namespace {

constexpr uint8_t kIdentifyCommand = 0xC5;
constexpr size_t kIdentifyCommandBytes = 31;
constexpr size_t kIdentifyReplyBytes = 4;
constexpr uint32_t kHandshakeTimeout = 20000;
constexpr unsigned kMaxHandshakeExchanges = 31;

std::array<uint8_t, kIdentifyCommandBytes> identifyCommand() {
    std::array<uint8_t, kIdentifyCommandBytes> command;
    command.fill(0xFF);
    command[0] = kIdentifyCommand;
    return command;
}

// The HID link is open: ask for the identifier (little-endian in the reply).
uint8_t identifyHidProgrammer(Detection* detection) {
    const auto command = identifyCommand();
    if (WriteReports(command.data(), command.size(), outputReportLength()) != command.size()) {
        return RC_COMM_FAIL;
    }
    std::array<uint8_t, kIdentifyReplyBytes> reply;
    reply.fill(0xFF);
    // A reply announcing more bytes than asked for is as broken as a short one.
    if (ReadReports(reply.data(), reply.size()) != reply.size()) {
        return RC_COMM_FAIL;
    }
    const auto identifier = static_cast<uint16_t>(reply[0] | reply[1] << 8);
    if (detection != nullptr) {
        *detection = {LinkKind::Hid, identifier, openedHidLocation()};
    }
    if (identifier != kHidFirmwareIdentifier) {
        return RC_FIRMWARE_MISMATCH;
    }
    setProgrammerIdentifier(kHidFirmwareIdentifier);
    return RC_OK;
}

// One handshake exchange. The statuses the programmer reports are not examined:
// only the agreement of consecutive answers counts. Nothing when the answer did not
// arrive whole.
std::optional<uint16_t> pipeHandshakeAnswer() {
    const PipeHandshakeReply reply = RequestPipeHandshake();
    if (reply.kind != PipeHandshakeReply::Kind::Answered) {
        return std::nullopt;
    }
    const uint8_t done = 0x00;
    PipeWrite(&done, 1);
    return reply.identifier;
}

// The pipe device is open: ask until two consecutive answers agree. A programmer
// that takes no part in the exchanges, or whose answer arrives short, is not asked
// again: each unanswered transfer waits the whole time-out, and the zeroed buffer of
// a missing answer must not pass for an answer of other firmware (an answer of
// 0x0000 that really arrived still does).
uint8_t identifyPipeProgrammer(Detection* detection) {
    if (NoTransfer(PipeSetTimeout(kHandshakeTimeout))) {
        return RC_COMM_FAIL;
    }
    uint16_t previous = 0x0000;
    for (unsigned exchange = 0; exchange < kMaxHandshakeExchanges; ++exchange) {
        const std::optional<uint16_t> answer = pipeHandshakeAnswer();
        if (!answer) {
            return RC_COMM_FAIL;
        }
        if (*answer == previous) {
            // The location costs a device listing: only a caller that asks gets it.
            if (detection != nullptr) {
                *detection = {LinkKind::Pipe, *answer, PipeDevice::Location()};
            }
            if (*answer != kPipeFirmwareIdentifier) {
                return RC_FIRMWARE_MISMATCH;
            }
            setProgrammerIdentifier(kPipeFirmwareIdentifier);
            return RC_OK;
        }
        previous = *answer;
    }
    return RC_NO_DEVICE;
}

}  // namespace

uint8_t DetectProgrammer() {
    return DetectProgrammer(nullptr);
}

uint8_t DetectProgrammer(Detection* detection) {
    if (OpenHidProgrammer(kVendorId, kHidProductNormal) == 1) {
        const uint8_t result = identifyHidProgrammer(detection);
        CloseHidProgrammer();
        return result;
    }
    if (PipeDevice::Open(kVendorId, kPipeProduct, 1) != PIPE_DONE) {
        return RC_NO_DEVICE;
    }
    const uint8_t result = identifyPipeProgrammer(detection);
    PipeDevice::Close();
    return result;
}

}  // namespace korvid::link
