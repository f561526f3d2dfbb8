#include "pipe_port.h"

#include <cstdio>

#include "link/hid_link.h"
#include "link/pipe_link.h"
#include "usb_descriptors.h"

namespace korvid::gadget {
namespace {

constexpr size_t kNormalMode = 0;
constexpr size_t kBootMode = 1;
// A full-speed bulk endpoint moves packets of 64 bytes. Each read takes one packet:
// a longer read would wait for a short packet that a transfer of whole packets
// never sends.
constexpr uint16_t kPacketBytes = 64;
// The longest answer: a data phase is at most this long.
constexpr size_t kLongestAnswer = 65536;

GadgetMode modeOf(size_t mode, const std::string& serial) {
    const Bytes fullSpeed = BulkInterfaceDescriptors(kPacketBytes);
    const Bytes highSpeed = BulkInterfaceDescriptors(512);
    DeviceIdentity identity{link::kVendorId, link::kPipeProduct, "Vostrel", "USB ISP Programmer",
                            mode == kNormalMode ? serial : ""};
    return {identity, FunctionFsDescriptors(fullSpeed, highSpeed),
            FunctionFsStrings("ISP programmer pipes")};
}

}  // namespace

PipeProgrammerPort::PipeProgrammerPort(sim::SimulatedPipeProgrammer& programmer)
    : programmer_(programmer) {}

std::vector<GadgetMode> PipeProgrammerPort::Modes(const std::string& serial) {
    return {modeOf(kNormalMode, serial), modeOf(kBootMode, serial)};
}

size_t PipeProgrammerPort::outTransferBytes(size_t) const {
    return kPacketBytes;
}

void PipeProgrammerPort::hostSent(size_t, const uint8_t* data, size_t length) {
    std::lock_guard guard(lock_);
    if (programmer_.hostWrites(data, length) != platform::TransferResult::Done) {
        std::fprintf(stderr, "gadget: the programmer refused %zu bytes from the host\n", length);
    }
}

std::optional<Bytes> PipeProgrammerPort::nextForHost(size_t) {
    std::lock_guard guard(lock_);
    Bytes answer(kLongestAnswer);
    size_t moved = 0;
    if (programmer_.hostReads(answer.data(), answer.size(), moved) !=
            platform::TransferResult::Done ||
        moved == 0) {
        if (programmer_.restartDue()) {
            std::fprintf(stderr, "gadget: the exchange is over, the programmer restarts\n");
            programmer_.endExchange();
        }
        return std::nullopt;
    }
    answer.resize(moved);
    return answer;
}

void PipeProgrammerPort::control(size_t, const usb_ctrlrequest& request, FunctionFs& function) {
    function.stall(request);  // the pipes need no requests of their own
}

BusState PipeProgrammerPort::busState() {
    std::lock_guard guard(lock_);
    return {programmer_.present(), programmer_.inBootMode() ? kBootMode : kNormalMode,
            programmer_.comesBack()};
}

void PipeProgrammerPort::reappear() {
    std::lock_guard guard(lock_);
    programmer_.reappear();
}

}  // namespace korvid::gadget
