// Reading the 256 bytes of target information through the programmer.
#include <array>

#include "link/detect.h"
#include "link/hid_link.h"
#include "link/pipe_link.h"
#include "programming/link_sessions.h"
#include "programming/operations.h"
#include "programming/progress.h"

namespace korvid::programming {
namespace {

constexpr size_t kTargetInfoBytes = 256;
constexpr uint32_t kPipeTimeout = 8000;

std::array<uint8_t, 31> hidDumpCommand() {
    std::array<uint8_t, 31> command;
    command.fill(0xFF);
    command[0] = 0xC4;
    return command;
}

std::array<uint8_t, 23> pipeDumpHeader() {
    std::array<uint8_t, 23> header;
    header.fill(0xFF);
    header[0] = 0x5A;
    header[1] = 0xA5;
    header[2] = 0xF2;
    header[3] = 0xF1;
    header[14] = 0xFE;
    return header;
}

uint8_t dumpOverHid(HidLinkSession& hid, uint8_t* destination, const Progress& progress) {
    progress.report(KORVID_PHASE_SENDING_COMMAND);
    if (!hid.send(hidDumpCommand())) {
        return RC_COMM_FAIL;
    }
    const auto ack = hid.receiveByte();
    if (!ack) {
        return RC_COMM_FAIL;
    }
    if (*ack != 'A') {
        return RC_REFUSED;
    }
    progress.report(KORVID_PHASE_RECEIVING, 0, kTargetInfoBytes);
    if (!hid.receive({destination, kTargetInfoBytes})) {
        return RC_COMM_FAIL;
    }
    progress.report(KORVID_PHASE_RECEIVING, kTargetInfoBytes, kTargetInfoBytes);
    return RC_OK;
}

uint8_t dumpOverPipe(uint8_t* destination, const Progress& progress) {
    PipeLinkSession pipe;
    if (!pipe.open()) {
        return RC_NO_DEVICE;
    }
    link::PipeSetTimeout(kPipeTimeout);
    const auto header = pipeDumpHeader();
    progress.report(KORVID_PHASE_SENDING_COMMAND);
    if (link::PipeWrite(header.data(), header.size()) != link::PIPE_DONE) {
        return RC_COMM_FAIL;
    }
    uint8_t ack = 0;
    if (link::PipeRead(&ack, 1) != link::PIPE_DONE) {
        return RC_COMM_FAIL;
    }
    if (ack != 0x00) {
        return RC_REFUSED;
    }
    progress.report(KORVID_PHASE_RECEIVING, 0, kTargetInfoBytes);
    if (link::PipeRead(destination, kTargetInfoBytes) != link::PIPE_DONE) {
        return RC_COMM_FAIL;
    }
    progress.report(KORVID_PHASE_RECEIVING, kTargetInfoBytes, kTargetInfoBytes);
    return RC_OK;
}

}  // namespace

uint8_t dumpMcuInfo(uint8_t* destination) {
    if (destination == nullptr) {
        return RC_REFUSED;
    }
    const Progress progress(KORVID_OPERATION_DUMP);
    progress.report(KORVID_PHASE_DETECTING);
    if (const uint8_t detected = link::DetectProgrammer(); detected != RC_OK) {
        return detected;
    }
    HidLinkSession hid;
    if (hid.open(link::kHidProductNormal)) {
        return dumpOverHid(hid, destination, progress);
    }
    return dumpOverPipe(destination, progress);
}

}  // namespace korvid::programming
