#include "outcome.h"

#include "command_messages.h"
#include "korvid.h"
#include "messages.h"

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
    namespace core = korvid::core;
    if (result == RC_FIRMWARE_MISMATCH) {
        return core::Messages::unmatchedFirmware.english;
    }
    if (table == MessageTable::Update) {
        return core::UpdateResultText(result).english;
    }
    return result == RC_OK ? core::Messages::dumpInformationOk.english
                           : core::DumpFailureText(result).english;
}

std::string ProjectMessage(uint8_t result, const std::string& path) {
    namespace core = korvid::core;
    switch (result) {
        case RC_FILE_OPEN:
            return core::Messages::cantOpen.english + path + "\" !";
        case RC_KPJ_FOOTER_SUM:
            return core::Messages::footerCheckError.english;
        case RC_KPJ_TOOL:
            return core::Messages::unmatchedTool.english;
        case RC_KPJ_VERSION:
            return core::Messages::unmatchedApVersion.english;
        case RC_KPJ_CODE_LENGTH:
        case RC_KPJ_CODE_SUM:
            return core::Messages::wrongCodeSizes.english;
        case RC_KPJ_MAGIC:
            return core::Messages::notKpjFile.english;
        default:
            return "Load KPJ fail ! (result " + std::to_string(result) + ")";
    }
}

}  // namespace korvid::cli
