// Handing one programming job to the programmer: program the target now, or
// store image and settings in the programmer for stand-alone production.
#include <array>
#include <optional>
#include <span>
#include <vector>

#include "catalogue/kpj_layout.h"
#include "link/detect.h"
#include "link/hid_link.h"
#include "link/pipe_link.h"
#include "programming/code_image.h"
#include "programming/link_sessions.h"
#include "programming/operations.h"
#include "programming/program_command.h"
#include "programming/progress.h"
#include "programming/working_wait.h"

namespace korvid::programming {
namespace {

constexpr uint32_t kPipeTimeout = 0xFFFF;

ProgramFields programFields(const JobRecord& job, bool icp, bool toTarget, const PartSettings& part,
                            std::span<const uint8_t> image) {
    ProgramFields f;
    f.icp = icp;
    f.toTarget = toTarget;
    f.partIndex = job.partIndex;
    f.programArea = job.programArea;
    f.part = part;
    f.imageLength = static_cast<uint32_t>(image.size());
    f.checksum = catalogue::kpj::byteSum16(image);
    f.serialFlags = static_cast<uint8_t>(job.serialFlags & 0x03);
    f.maxCount = job.maxCount;
    f.serialAddress = job.serialAddress;
    f.serialNumber = job.serialNumber;
    return f;
}

uint8_t programOverHid(HidLinkSession& hid, const ProgramFields& fields,
                       std::span<const uint8_t> image, const Progress& progress) {
    progress.report(KORVID_PHASE_SENDING_COMMAND);
    if (!hid.send(buildProgramCommand(fields))) {
        return RC_COMM_FAIL;
    }
    const auto accepted = hid.receiveByte();
    if (!accepted) {
        return RC_COMM_FAIL;
    }
    if (*accepted != 'A') {
        return RC_REFUSED;
    }
    progress.report(KORVID_PHASE_SENDING_IMAGE, 0, image.size());
    if (!hid.send(image, progress.bytesSent(KORVID_PHASE_SENDING_IMAGE, image.size()))) {
        return RC_COMM_FAIL;
    }
    // 'W' means still working, for as long as the programmer needs within the limit.
    WorkingWait wait(progress);
    std::optional<uint8_t> reply;
    while ((reply = hid.receiveByte()) && *reply == 'W') {
        if (!wait.stillWorking()) {
            return RC_COMM_FAIL;
        }
    }
    if (!reply) {
        return RC_COMM_FAIL;
    }
    switch (*reply) {
        case 'A':
            return RC_OK;
        case 'C':
            return RC_CHECKSUM;
        default:
            return RC_REFUSED;
    }
}

uint8_t programOverPipe(const ProgramFields& fields, std::span<const uint8_t> image,
                        const Progress& progress) {
    PipeLinkSession pipe;
    if (!pipe.open()) {
        return RC_NO_DEVICE;
    }
    link::PipeSetTimeout(kPipeTimeout);
    const auto header = buildPipeProgramHeader(fields);
    progress.report(KORVID_PHASE_SENDING_COMMAND);
    if (link::PipeWrite(header.data(), header.size()) != link::PIPE_DONE) {
        return RC_COMM_FAIL;
    }
    progress.report(KORVID_PHASE_SENDING_IMAGE, 0, image.size());
    if (link::PipeWrite(image.data(), static_cast<uint32_t>(image.size()),
                        progress.bytesSent(KORVID_PHASE_SENDING_IMAGE, image.size())) !=
        link::PIPE_DONE) {
        return RC_COMM_FAIL;
    }
    // Reply: checksum (most significant byte first), then status; status 'U'
    // means still working, which only a programming of the target reports.
    std::array<uint8_t, 3> reply = {'U', 'U', 'U'};
    WorkingWait wait(progress);
    while (true) {
        if (link::PipeRead(reply.data(), reply.size()) != link::PIPE_DONE) {
            return RC_COMM_FAIL;
        }
        if (!fields.toTarget || reply[2] != 'U') {
            break;
        }
        if (!wait.stillWorking()) {
            return RC_COMM_FAIL;
        }
    }
    pipe.close();

    if ((reply[0] << 8 | reply[1]) != fields.checksum) {
        return RC_CHECKSUM;
    }
    switch (reply[2]) {
        case 0x00:
            return RC_OK;
        case 0xFE:
            return RC_TARGET_LOCKED;
        default:
            return RC_REFUSED;
    }
}

}  // namespace

uint8_t updateMcu(JobRecord* job, bool icp, bool toTarget, const catalogue::Catalogue& catalogue) {
    // A job that cannot be encoded is refused before any traffic.
    if (job == nullptr || (job->codeLength != 0 && job->codeBuffer == nullptr)) {
        return RC_REFUSED;
    }
    const auto part = partSettingsFor(catalogue, *job, icp, toTarget);
    const auto imageLength = codeImageLength(*job);
    if (!part || !imageLength) {
        return RC_REFUSED;
    }
    const Progress progress(KORVID_OPERATION_UPDATE_MCU);
    progress.report(KORVID_PHASE_DETECTING);
    if (const uint8_t detected = link::DetectProgrammer(); detected != RC_OK) {
        return detected;
    }
    const std::vector<uint8_t> image = buildCodeImage(*job, *imageLength);
    const ProgramFields fields = programFields(*job, icp, toTarget, *part, image);

    HidLinkSession hid;
    if (hid.open(link::kHidProductNormal)) {
        return programOverHid(hid, fields, image, progress);
    }
    return programOverPipe(fields, image, progress);
}

}  // namespace korvid::programming
