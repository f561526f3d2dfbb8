// The older programmer model on a USB bus: one vendor-specific interface with a
// bulk pipe each way (product 0x030D), in normal mode with its serial string and,
// after a boot request, in boot mode without one.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "gadget_runner.h"
#include "link/sim/simulated_pipe_programmer.h"

namespace korvid::gadget {

class PipeProgrammerPort : public ProgrammerPort {
public:
    explicit PipeProgrammerPort(sim::SimulatedPipeProgrammer& programmer);

    static std::vector<GadgetMode> Modes(const std::string& serial);

    size_t outTransferBytes(size_t mode) const override;
    void hostSent(size_t mode, const uint8_t* data, size_t length) override;
    // When it has nothing more for the host and a restart waits, the exchange is over
    // and the restart takes place.
    std::optional<Bytes> nextForHost(size_t mode) override;
    void control(size_t mode, const usb_ctrlrequest& request, FunctionFs& function) override;
    BusState busState() override;
    void reappear() override;

private:
    std::mutex lock_;
    sim::SimulatedPipeProgrammer& programmer_;
};

}  // namespace korvid::gadget
