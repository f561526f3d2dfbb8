#include "command_messages.h"

#include "korvid.h"

namespace korvid::core {
namespace {

// The firmware re-flash results, reported alike by both commands; nullptr otherwise.
const TextPair* SharedText(uint8_t result) {
    switch (result) {
        case RC_NO_DEVICE:
            return &Messages::notFindDevice;
        case RC_RESET_ERROR:
            return &Messages::deviceResetError;
        case RC_FIRMWARE_FAIL:
            return &Messages::updateProgrammerFwFail;
        case RC_NO_RESOURCE:
            return &Messages::notFindResource;
        default:
            return nullptr;
    }
}

}  // namespace

const TextPair& UpdateResultText(uint8_t result) {
    if (const TextPair* shared = SharedText(result)) {
        return *shared;
    }
    switch (result) {
        case RC_OK:
            return Messages::updateSuccess;
        case RC_CHECKSUM:
            return Messages::resultChecksumError;
        case RC_TARGET_LOCKED:
            return Messages::targetIsLock;
        default:
            return Messages::updateFail;
    }
}

const TextPair& DumpFailureText(uint8_t result) {
    if (const TextPair* shared = SharedText(result)) {
        return *shared;
    }
    return Messages::dumpInformationFailed;
}

}  // namespace korvid::core
