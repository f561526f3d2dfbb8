#include "outcome.h"

#include "korvid.h"

namespace korvid::cli {

ExitStatus ExitStatusForResult(uint8_t result) {
    switch (result) {
        case RC_OK:
            return ExitStatus::Ok;
        case RC_REFUSED:
            return ExitStatus::Refused;
        case RC_NO_DEVICE:
            return ExitStatus::NoDevice;
        case RC_RESET_ERROR:
            return ExitStatus::ResetError;
        case RC_FIRMWARE_FAIL:
            return ExitStatus::FirmwareFail;
        case RC_CHECKSUM:
            return ExitStatus::Checksum;
        case RC_TARGET_LOCKED:
            return ExitStatus::TargetLocked;
        case RC_FILE_OPEN:
            return ExitStatus::FileError;
        case RC_KPJ_FOOTER_SUM:
        case RC_KPJ_TOOL:
        case RC_KPJ_VERSION:
        case RC_KPJ_CODE_LENGTH:
        case RC_KPJ_CODE_SUM:
        case RC_KPJ_MAGIC:
            return ExitStatus::ProjectRefused;
        case RC_FIRMWARE_MISMATCH:
            return ExitStatus::FirmwareMismatch;
        case RC_NO_RESOURCE:
            return ExitStatus::NoResource;
        case RC_COMM_FAIL:
            return ExitStatus::CommFail;
        default:
            return ExitStatus::OtherResult;
    }
}

std::string ProgrammerMessage(uint8_t result, MessageTable table) {
    const bool update = table == MessageTable::Update;
    switch (result) {
        case RC_OK:
            return update ? "Update success !" : "Dump Information ok !";
        case RC_NO_DEVICE:
            return "Not find device !";
        case RC_RESET_ERROR:
            return "Device reset error ! Update F/W fail !";
        case RC_FIRMWARE_FAIL:
            return "Update programmer F/W fail !";
        case RC_NO_RESOURCE:
            return "Not find resource !";
        case RC_FIRMWARE_MISMATCH:
            return "Unmatched firmware version, Do you want to update ?";
        default:
            break;
    }
    if (update) {
        if (result == RC_CHECKSUM) {
            return "Result checksum error ! Update fail !";
        }
        if (result == RC_TARGET_LOCKED) {
            return "Target is lock ! Update fail !";
        }
        return "Update fail !";
    }
    return "Dump Information failed !";
}

std::string ProjectMessage(uint8_t result, const std::string& path) {
    switch (result) {
        case RC_FILE_OPEN:
            return "Can't open \"" + path + "\" !";
        case RC_KPJ_FOOTER_SUM:
            return "Footer check error !";
        case RC_KPJ_TOOL:
            return "Unmatched tool, please tye the correct Vostrel tools !";
        case RC_KPJ_VERSION:
            return "Unmatched AP version, please consult with your local Vostrel agents !";
        case RC_KPJ_CODE_LENGTH:
        case RC_KPJ_CODE_SUM:
            return "Wrong code sizes or checksum !";
        case RC_KPJ_MAGIC:
            return "Not \"8051 ISP-ICP Programmer\" KPJ file !";
        default:
            return "Load KPJ fail !";
    }
}

}  // namespace korvid::cli
