// The HID programmer model on a USB bus: its interface in normal mode (product
// 0x0323, numbered input and output reports) and in firmware-update mode (product
// 0x030B, no serial string, feature reports).
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "gadget_runner.h"
#include "link/sim/simulated_hid_programmer.h"

namespace korvid::gadget {

class HidProgrammerPort : public ProgrammerPort {
public:
    explicit HidProgrammerPort(sim::SimulatedHidProgrammer& programmer);

    // The two ways it enumerates; the serial string shows in normal mode only.
    static std::vector<GadgetMode> Modes(const std::string& serial);

    size_t outTransferBytes(size_t mode) const override;
    void hostSent(size_t mode, const uint8_t* data, size_t length) override;
    std::optional<Bytes> nextForHost(size_t mode) override;
    void control(size_t mode, const usb_ctrlrequest& request, FunctionFs& function) override;
    BusState busState() override;
    void reappear() override;

private:
    void setReport(size_t mode, const usb_ctrlrequest& request, FunctionFs& function);
    void getReport(size_t mode, const usb_ctrlrequest& request, FunctionFs& function);

    std::mutex lock_;
    sim::SimulatedHidProgrammer& programmer_;
};

}  // namespace korvid::gadget
