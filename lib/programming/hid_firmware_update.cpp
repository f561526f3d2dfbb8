// The HID programmer's firmware update: a mode switch makes it re-enumerate with
// the firmware-update product identifier, where it takes the image in feature
// reports, confirms it with a checksum and restarts on request. One found waiting
// in that mode already (a re-flash cut short) takes the image at once.
#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string>

#include "catalogue/kpj_layout.h"
#include "firmware/firmware_images.h"
#include "korvid.h"
#include "link/hid_link.h"
#include "programming/feature_reports.h"
#include "programming/firmware_update.h"
#include "programming/pause.h"
#include "programming/progress.h"

namespace korvid::programming {
namespace {

constexpr int kReappearAttempts = 30;
constexpr uint32_t kReappearPauseMs = 1000;
constexpr uint32_t kInstallationSettleMs = 2000;
constexpr uint32_t kDataReportPauseMs = 100;
constexpr uint32_t kMaxAnnouncedImageBytes = 0xFFFFFF;  // the announcement has 24 bits

std::array<uint8_t, 31> modeSwitchCommand() {
    std::array<uint8_t, 31> command;
    command.fill(0xFF);
    command[0] = 0xC6;
    return command;
}

// Lets the system finish installing the re-enumerated device; part of the restart
// wait that began at startUs.
void waitForInstallations(const Progress& progress, uint64_t startUs) {
    link::WaitNoPendingInstallations();
    progress.reportElapsed(KORVID_PHASE_RESTART_WAIT, startUs);
    pauseMs(kInstallationSettleMs);
    link::WaitNoPendingInstallations();
    progress.reportElapsed(KORVID_PHASE_RESTART_WAIT, startUs);
    pauseMs(kInstallationSettleMs);
    link::WaitNoPendingInstallations();
    progress.reportElapsed(KORVID_PHASE_RESTART_WAIT, startUs);
}

// Waits for the programmer that was switched, where it sat (another one may wait in
// the same mode, left there by a re-flash cut short).
bool waitForUpdateMode(HidLinkSession& updater, const std::string& location,
                       const Progress& progress, uint64_t startUs) {
    for (int attempt = 0; attempt < kReappearAttempts; ++attempt) {
        pauseMs(kReappearPauseMs);
        progress.reportElapsed(KORVID_PHASE_RESTART_WAIT, startUs);
        if (updater.open(link::kHidProductFirmwareUpdate, location)) {
            return true;
        }
    }
    return false;
}

bool setFeature(const FeatureReport& report) {
    return link::SetFeatureReport(report.data());
}

// Size announcement, data reports and checksum query; the answered checksum, or
// nothing when a report could not be set or fetched.
std::optional<uint16_t> transferImage(std::span<const uint8_t> image, size_t reportBytes,
                                      const Progress& progress) {
    if (!setFeature(sizeAnnouncementReport(static_cast<uint32_t>(image.size())))) {
        return std::nullopt;
    }
    progress.report(KORVID_PHASE_REFLASH_DATA, 0, image.size());
    const size_t chunkBytes = reportBytes - 1;
    for (size_t offset = 0; offset < image.size(); offset += chunkBytes) {
        const size_t n = std::min(chunkBytes, image.size() - offset);
        if (!setFeature(dataReport(image.subspan(offset, n)))) {
            return std::nullopt;
        }
        progress.report(KORVID_PHASE_REFLASH_DATA, offset + n, image.size());
        pauseMs(kDataReportPauseMs);
    }
    if (!setFeature(checksumQueryReport())) {
        return std::nullopt;
    }
    FeatureReport answer{};
    if (!link::GetFeatureReport(answer.data())) {
        return std::nullopt;
    }
    return checksumFromAnswer(answer);
}

std::optional<std::span<const uint8_t>> firmwareImage() {
    const auto image = firmware::find(firmware::kHidProgrammerImage);
    if (!image || image->empty() || image->size() > kMaxAnnouncedImageBytes) {
        return std::nullopt;
    }
    return *image;
}

// The programmer is open in its firmware-update mode: the image, its checksum and
// the restart into normal mode.
uint8_t flashAndRestart(HidLinkSession& updater, std::span<const uint8_t> image,
                        const Progress& progress) {
    // Reports are built in 65-byte buffers; a device with longer (or without)
    // feature reports does not speak this exchange.
    const size_t reportBytes = link::featureReportLength();
    if (reportBytes < 2 || reportBytes > kMaxFeatureReportBytes) {
        return RC_COMM_FAIL;
    }
    const auto answered = transferImage(image, reportBytes, progress);
    if (!answered) {
        link::CancelHidTransfers();
        setFeature(restartRequestReport());
        return RC_COMM_FAIL;
    }
    if (*answered != catalogue::kpj::byteSum16(image)) {
        setFeature(restartRequestReport());
        return RC_FIRMWARE_FAIL;
    }
    if (!setFeature(restartRequestReport())) {
        link::CancelHidTransfers();
        return RC_RESET_ERROR;
    }
    updater.close();
    waitForInstallations(progress, clockNowUs());
    return RC_OK;
}

}  // namespace

uint8_t updateHidFirmware(HidLinkSession& normalMode, const Progress& progress) {
    // Without an image the programmer must stay in its normal mode.
    const auto image = firmwareImage();
    if (!image) {
        return RC_NO_RESOURCE;
    }
    progress.report(KORVID_PHASE_SENDING_COMMAND);
    if (!normalMode.send(modeSwitchCommand())) {
        return RC_COMM_FAIL;
    }
    // The programmer may acknowledge the switch with 'A' or say nothing at all.
    if (const auto reply = normalMode.receiveByte(); reply && *reply != 'A') {
        return RC_REFUSED;
    }
    const std::string location = link::openedHidLocation();
    normalMode.close();

    const uint64_t switchedUs = clockNowUs();
    HidLinkSession updater;
    if (!waitForUpdateMode(updater, location, progress, switchedUs)) {
        return RC_RESET_ERROR;
    }
    waitForInstallations(progress, switchedUs);
    return flashAndRestart(updater, *image, progress);
}

uint8_t resumeHidFirmwareUpdate(HidLinkSession& updateMode, const Progress& progress) {
    const auto image = firmwareImage();
    if (!image) {
        return RC_NO_RESOURCE;
    }
    return flashAndRestart(updateMode, *image, progress);
}

}  // namespace korvid::programming
