// The older programmer's firmware update: a boot request over the pipe link
// restarts it in its boot mode, where it takes header and image in pipe writes. One
// already in its boot mode (a re-flash cut short) takes the image at once.
#include <array>
#include <string>

#include "catalogue/kpj_layout.h"
#include "firmware/firmware_images.h"
#include "korvid.h"
#include "link/pipe_handshake.h"
#include "link/pipe_link.h"
#include "link/programmer_identifier.h"
#include "programming/firmware_update.h"
#include "programming/pause.h"

namespace korvid::programming {
namespace {

constexpr uint32_t kPipeTimeout = 20000;
constexpr uint32_t kBootRequestStatusPauseMs = 30;
constexpr int kReopenAttempts = 21;
constexpr uint32_t kReopenPauseMs = 500;
constexpr uint32_t kFlashSettleMs = 5000;

// Opens the programmer again where it sat (another one may be attached beside it).
bool reopenInBootMode(PipeLinkSession& pipe, const std::string& location,
                      const Progress& progress) {
    const uint64_t startUs = clockNowUs();
    for (int attempt = 0; attempt < kReopenAttempts; ++attempt) {
        if (attempt > 0) {
            pauseMs(kReopenPauseMs);
            progress.reportElapsed(KORVID_PHASE_RESTART_WAIT, startUs);
        }
        if (pipe.open(location)) {
            return true;
        }
    }
    return false;
}

}  // namespace

uint8_t updatePipeFirmware(const Progress& progress) {
    PipeLinkSession pipe;
    if (!pipe.open()) {
        return RC_NO_DEVICE;
    }
    // The statuses the programmer reports in the handshake are not judged: the
    // answer alone tells the mode. One that takes no part gives no answer, and a
    // short answer is none. In its boot mode the programmer takes the request but
    // leaves it unanswered.
    if (link::NoTransfer(link::PipeSetTimeout(kPipeTimeout))) {
        return RC_COMM_FAIL;
    }
    const link::PipeHandshakeReply handshake = link::RequestPipeHandshake();
    if (handshake.kind == link::PipeHandshakeReply::Kind::Failed) {
        return RC_COMM_FAIL;
    }
    const bool inBootMode = handshake.kind == link::PipeHandshakeReply::Kind::Unanswered;
    if (!inBootMode && handshake.identifier == link::kPipeFirmwareIdentifier) {
        link::setProgrammerIdentifier(link::kPipeFirmwareIdentifier);
        const uint8_t done = 0x00;
        link::PipeWrite(&done, 1);
        return RC_OK;
    }
    const auto image = firmware::find(firmware::kPipeProgrammerImage);
    if (!image || image->empty()) {
        return RC_NO_RESOURCE;
    }
    const uint16_t checksum = catalogue::kpj::byteSum16(*image);

    // Taken while the programmer is on the bus (the boot request takes it off), so
    // that it is found again there and not another one beside it.
    const std::string location = link::PipeDevice::Location();
    if (!inBootMode) {
        // The boot request is 0x00 after an answer of 0xFF 0xFF, 0xFF after any other.
        const uint8_t bootRequest = handshake.identifier == 0xFFFF ? 0x00 : 0xFF;
        progress.report(KORVID_PHASE_SENDING_COMMAND);
        link::PipeWriteWait(&bootRequest, 1, kBootRequestStatusPauseMs);
    }
    // Opened again also when it was in its boot mode already: the read that timed
    // out is not left pending on the exchange that carries the image.
    pipe.close();
    if (!reopenInBootMode(pipe, location, progress)) {
        return RC_RESET_ERROR;
    }

    link::PipeSetTimeout(kPipeTimeout);
    const std::array<uint8_t, 4> header = {0x5A, 0xA5, 0xF9, 0xF1};
    std::array<uint8_t, 3> reply = {0x00, 0x00, 0x00};
    // A failed transfer leaves the zeroed reply, which must not pass for the
    // confirmation of an image whose checksum happens to be 0.
    progress.report(KORVID_PHASE_REFLASH_DATA, 0, image->size());
    const bool transferred =
        link::PipeWrite(header.data(), header.size()) == link::PIPE_DONE &&
        link::PipeWrite(image->data(), static_cast<uint32_t>(image->size()),
                        progress.bytesSent(KORVID_PHASE_REFLASH_DATA, image->size())) ==
            link::PIPE_DONE &&
        link::PipeRead(reply.data(), reply.size()) == link::PIPE_DONE;
    pipe.close();
    // The programmer restarts with its new firmware meanwhile.
    const uint64_t settleStartUs = clockNowUs();
    progress.reportElapsed(KORVID_PHASE_RESTART_WAIT, settleStartUs);
    pauseMs(kFlashSettleMs);
    progress.reportElapsed(KORVID_PHASE_RESTART_WAIT, settleStartUs);

    const uint16_t answered = static_cast<uint16_t>(reply[0] << 8 | reply[1]);
    return transferred && answered == checksum && reply[2] == 0x00 ? RC_OK : RC_FIRMWARE_FAIL;
}

}  // namespace korvid::programming
