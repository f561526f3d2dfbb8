#include "outcome.h"

#include "CommandMessages.h"
#include "TextTable.h"
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
    namespace wb = korvid::workbench;
    if (result == RC_FIRMWARE_MISMATCH) {
        return wb::TextTable::unmatchedFirmware.english;
    }
    if (table == MessageTable::Update) {
        return wb::UpdateResultText(result).english;
    }
    return result == RC_OK ? wb::TextTable::dumpInformationOk.english
                           : wb::DumpFailureText(result).english;
}

std::string ProjectMessage(uint8_t result, const std::string& path) {
    namespace wb = korvid::workbench;
    switch (result) {
        case RC_FILE_OPEN:
            return wb::TextTable::cantOpen.english + path + "\" !";
        case RC_KPJ_FOOTER_SUM:
            return wb::TextTable::footerCheckError.english;
        case RC_KPJ_TOOL:
            return wb::TextTable::unmatchedTool.english;
        case RC_KPJ_VERSION:
            return wb::TextTable::unmatchedApVersion.english;
        case RC_KPJ_CODE_LENGTH:
        case RC_KPJ_CODE_SUM:
            return wb::TextTable::wrongCodeSizes.english;
        case RC_KPJ_MAGIC:
            return wb::TextTable::notKpjFile.english;
        default:
            return "Load KPJ fail ! (result " + std::to_string(result) + ")";
    }
}

}  // namespace korvid::cli
