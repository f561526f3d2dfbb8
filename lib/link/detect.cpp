#include "link/detect.h"

#include <array>
#include <optional>

#include "korvid.h"
#include "link/hid_link.h"
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

// One handshake exchange; the answer travels most significant byte first. The
// statuses the programmer reports are not examined: only the agreement of
// consecutive answers counts. Nothing when the answer never arrived.
std::optional<uint16_t> pipeHandshakeAnswer() {
    const std::array<uint8_t, 2> request{0x55, 0xAA};
    PipeWrite(request.data(), request.size());
    std::array<uint8_t, 2> answer{};
    if (NoTransfer(PipeRead(answer.data(), answer.size()))) {
        return std::nullopt;
    }
    const uint8_t done = 0x00;
    PipeWrite(&done, 1);
    return static_cast<uint16_t>(answer[0] << 8 | answer[1]);
}

// The pipe device is open: ask until two consecutive answers agree. A programmer
// that takes no part in the exchanges is not asked again: each unanswered transfer
// waits the whole time-out, and the zeroed buffer of a missing answer must not pass
// for an answer of other firmware.
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
