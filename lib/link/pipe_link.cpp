#include "link/pipe_link.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/pipe_blocks.h"
#include "link/platform.h"
#include "link/selection.h"

namespace korvid::link {
namespace {

// The gap between a command block and its data phase.
constexpr uint16_t kCommandGapUs = 800;

struct PipeLink {
    std::unique_ptr<platform::PipeDevice> device;
    uint32_t pollLimit = kInitialPollLimit;
    // Which device is open: its identifiers and position in the bus's order, and
    // its location once known.
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    unsigned position = 0;
    std::optional<std::string> location;
};

PipeLink& theLink() {
    static PipeLink link;
    return link;
}

uint8_t statusOf(platform::TransferResult result, platform::Pipe pipe) {
    switch (result) {
        case platform::TransferResult::Done:
            return PIPE_DONE;
        case platform::TransferResult::StartFailed:
            return pipe == platform::Pipe::Read ? PIPE_READ_NOT_STARTED : PIPE_WRITE_NOT_STARTED;
        case platform::TransferResult::Timeout:
            return PIPE_TIMEOUT;
        case platform::TransferResult::Failed:
            return PIPE_FAILED;
        case platform::TransferResult::DeviceFault:
            break;
    }
    ResetPipe(static_cast<uint32_t>(pipe));
    return PIPE_DEVICE_FAULT;
}

// The position (1-based, in the bus's order) of the n-th selected device (at
// location, when given), with its location; nothing when there are fewer.
std::optional<std::pair<unsigned, std::string>> nthSelected(platform::PipeBus& bus,
                                                            uint16_t vendorId, uint16_t productId,
                                                            unsigned n, std::string_view location) {
    const std::vector<platform::PipeDeviceInfo> devices = bus.enumerate(vendorId, productId);
    unsigned matches = 0;
    for (size_t k = 0; k < devices.size(); ++k) {
        if ((location.empty() || devices[k].location == location) &&
            IsSelected({devices[k].location, devices[k].serial}) && ++matches == n) {
            return std::pair{static_cast<unsigned>(k + 1), devices[k].location};
        }
    }
    return std::nullopt;
}

// moved, when given, is told how many bytes the transfer moved.
uint8_t transferOnce(platform::Pipe pipe, uint8_t* data, uint32_t length,
                     uint32_t* moved = nullptr) {
    PipeLink& link = theLink();
    if (!link.device) {
        return PIPE_NOT_OPEN;
    }
    if (length > kPipeTransferMaxBytes) {
        // One transfer never carries more; cutting it short would lose data silently.
        return statusOf(platform::TransferResult::StartFailed, pipe);
    }
    // The status does not tell a short transfer: the protocol above judges most
    // replies by their content, and asks for the count where that cannot tell.
    size_t bytes = 0;
    const uint8_t status =
        statusOf(link.device->transfer(pipe, data, length, link.pollLimit, bytes), pipe);
    if (moved != nullptr) {
        *moved = static_cast<uint32_t>(std::min<size_t>(bytes, length));
    }
    return status;
}

// A data phase of any length, in transfers of at most kPipeTransferMaxBytes; moved,
// when given, is told the bytes moved in all.
uint8_t transferPhase(platform::Pipe pipe, uint8_t* data, uint32_t length,
                      const SentObserver& afterTransfer = {}, uint32_t* moved = nullptr) {
    for (uint32_t done = 0; done < length;) {
        const uint32_t chunk = std::min(length - done, kPipeTransferMaxBytes);
        uint32_t chunkMoved = 0;
        const uint8_t status = transferOnce(pipe, data + done, chunk, &chunkMoved);
        if (moved != nullptr) {
            *moved += chunkMoved;
        }
        if (status != PIPE_DONE) {
            return status;
        }
        done += chunk;
        if (afterTransfer) {
            afterTransfer(done);
        }
    }
    return PIPE_DONE;
}

// Write transfers never modify their buffer; the seam takes one pointer type for both.
uint8_t* writable(const uint8_t* data) {
    return const_cast<uint8_t*>(data);
}

uint8_t sendCommandBlock(const CommandBlockFields& fields) {
    const PipeBlock block = BuildCommandBlock(fields);
    return WritePipe(block.data(), static_cast<uint32_t>(block.size()));
}

uint8_t readStatusBlock() {
    PipeBlock block{};
    if (const uint8_t status = ReadPipe(block.data(), static_cast<uint32_t>(block.size()));
        status != PIPE_DONE) {
        return status;
    }
    if (StatusBlockReportsError(block)) {
        ResetPipe(READ_DATA_PIPE);
        ResetPipe(WRITE_DATA_PIPE);
        return PIPE_DEVICE_FAULT;
    }
    return PIPE_DONE;
}

uint8_t writeExchange(const uint8_t* source, uint32_t count, uint32_t pauseMs,
                      const SentObserver& afterTransfer) {
    if (!PipeDevice::IsOpen()) {
        return PIPE_NOT_OPEN;
    }
    if (count == 0) {
        return PIPE_DONE;
    }
    if (const uint8_t status = sendCommandBlock({PIPE_COMMAND_WRITE, 0, count});
        status != PIPE_DONE) {
        return status;
    }
    DelayMicroseconds(kCommandGapUs);
    const uint8_t dataStatus =
        transferPhase(platform::Pipe::Write, writable(source), count, afterTransfer);
    if (pauseMs != 0) {
        platform::current().clock->sleepMs(pauseMs);
    }
    // The device sends its status block even after a failed data phase; it is read
    // to keep the exchange in step, and the data phase's status is what counts.
    const uint8_t blockStatus = readStatusBlock();
    return dataStatus != PIPE_DONE ? dataStatus : blockStatus;
}

}  // namespace

namespace PipeDevice {

uint8_t Open(uint16_t vendorId, uint16_t productId, unsigned n, std::string_view location) {
    PipeLink& link = theLink();
    Close();
    platform::PipeBus* bus = platform::current().pipe;
    if (bus == nullptr) {
        return PIPE_NOT_OPEN;
    }
    // Without a selection the n-th device is opened directly, as the bus counts it.
    unsigned position = n;
    if (HasSelection() || !location.empty()) {
        auto selected = nthSelected(*bus, vendorId, productId, n, location);
        if (!selected) {
            return PIPE_NOT_OPEN;
        }
        position = selected->first;
        link.location = std::move(selected->second);
    }
    platform::OpenFailure failure = platform::OpenFailure::None;
    link.device = bus->open(vendorId, productId, position, failure);
    if (!link.device) {
        link.location.reset();
        return PIPE_NOT_OPEN;
    }
    link.vendorId = vendorId;
    link.productId = productId;
    link.position = position;
    return PIPE_DONE;
}

void Close() {
    theLink().device.reset();
    theLink().location.reset();
}

const std::string& Location() {
    PipeLink& link = theLink();
    if (!link.location) {
        link.location.emplace();
        platform::PipeBus* bus = platform::current().pipe;
        if (link.device && bus != nullptr) {
            const auto devices = bus->enumerate(link.vendorId, link.productId);
            if (link.position <= devices.size()) {
                link.location = devices[link.position - 1].location;
            }
        }
    }
    return *link.location;
}

bool IsOpen() {
    return theLink().device != nullptr;
}

}  // namespace PipeDevice

uint8_t ReadPipe(uint8_t* buffer, uint32_t length) {
    return transferOnce(platform::Pipe::Read, buffer, length);
}

uint8_t WritePipe(const uint8_t* buffer, uint32_t length) {
    return transferOnce(platform::Pipe::Write, writable(buffer), length);
}

void ResetPipe(uint32_t pipeType) {
    if (theLink().device) {
        theLink().device->resetPipe(static_cast<platform::Pipe>(pipeType));
    }
}

void DelayMicroseconds(uint16_t microseconds) {
    platform::current().clock->busyWaitUs(microseconds);
}

uint8_t PipeSetTimeout(uint32_t value) {
    if (!PipeDevice::IsOpen()) {
        return PIPE_NOT_OPEN;
    }
    const auto timeout = static_cast<uint16_t>(value & 0xFFFF);
    theLink().pollLimit = uint32_t{timeout} + 1000;
    if (const uint8_t status = sendCommandBlock({PIPE_COMMAND_SET_TIMEOUT, timeout, 0});
        status != PIPE_DONE) {
        return status;
    }
    DelayMicroseconds(kCommandGapUs);
    return readStatusBlock();
}

uint8_t PipeRead(uint8_t* destination, uint32_t count, uint32_t* received) {
    if (received != nullptr) {
        *received = 0;
    }
    if (!PipeDevice::IsOpen()) {
        return PIPE_NOT_OPEN;
    }
    if (count == 0) {
        return PIPE_DONE;
    }
    if (const uint8_t status = sendCommandBlock({PIPE_COMMAND_READ, 0, count});
        status != PIPE_DONE) {
        return status;
    }
    DelayMicroseconds(kCommandGapUs);
    return transferPhase(platform::Pipe::Read, destination, count, {}, received);
}

uint8_t PipeWrite(const uint8_t* source, uint32_t count, const SentObserver& afterTransfer) {
    return writeExchange(source, count, 0, afterTransfer);
}

uint8_t PipeWriteWait(const uint8_t* source, uint32_t count, uint32_t milliseconds) {
    return writeExchange(source, count, milliseconds, {});
}

uint32_t pollLimit() {
    return theLink().pollLimit;
}

}  // namespace korvid::link
