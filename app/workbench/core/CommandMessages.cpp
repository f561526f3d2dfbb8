#include "CommandMessages.h"

#include "korvid.h"

namespace korvid::workbench {
namespace {

// The firmware re-flash results, reported alike by both commands; nullptr otherwise.
const TextPair* SharedText(uint8_t result) {
    switch (result) {
        case RC_NO_DEVICE:
            return &TextTable::notFindDevice;
        case RC_RESET_ERROR:
            return &TextTable::deviceResetError;
        case RC_FIRMWARE_FAIL:
            return &TextTable::updateProgrammerFwFail;
        case RC_NO_RESOURCE:
            return &TextTable::notFindResource;
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
            return TextTable::updateSuccess;
        case RC_CHECKSUM:
            return TextTable::resultChecksumError;
        case RC_TARGET_LOCKED:
            return TextTable::targetIsLock;
        default:
            return TextTable::updateFail;
    }
}

const TextPair& DumpFailureText(uint8_t result) {
    if (const TextPair* shared = SharedText(result)) {
        return *shared;
    }
    return TextTable::dumpInformationFailed;
}

}  // namespace korvid::workbench
