// Puts a programmer model on a real USB bus as a gadget and keeps the bus in step
// with it: the model's transfers come from its FunctionFS endpoints, and when the
// model leaves the bus (a re-enumeration in another mode, a pulled plug) the gadget
// is unbound, and bound again in the mode the model comes back in.
#pragma once

#include <linux/usb/ch9.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "configfs_gadget.h"
#include "function_fs.h"

namespace korvid::gadget {

using Bytes = std::vector<uint8_t>;

struct BusState {
    bool present = true;    // the programmer is on the bus
    size_t mode = 0;        // in which of the gadget's modes
    bool comesBack = true;  // when it is off the bus: whether it returns
};

// What a programmer model makes of the transfers on its interface. The runner
// calls it from several threads; an implementation guards its model itself.
class ProgrammerPort {
public:
    virtual ~ProgrammerPort() = default;

    // Bytes of one read on the OUT endpoint in this mode.
    virtual size_t outTransferBytes(size_t mode) const = 0;
    // One transfer the host sent on the OUT endpoint.
    virtual void hostSent(size_t mode, const uint8_t* data, size_t length) = 0;
    // What the programmer sends next on the IN endpoint; nothing when it has nothing
    // for the host now.
    virtual std::optional<Bytes> nextForHost(size_t mode) = 0;
    // A request on the control endpoint for the interface: answer, receive or stall.
    virtual void control(size_t mode, const usb_ctrlrequest& request, FunctionFs& function) = 0;

    virtual BusState busState() = 0;
    // Called when the programmer has been off the bus long enough to restart.
    virtual void reappear() = 0;
};

// One way the programmer enumerates: device identity and interface descriptors.
struct GadgetMode {
    DeviceIdentity identity;
    Bytes descriptors;  // the FunctionFS blob
    Bytes strings;      // the FunctionFS blob
};

class GadgetRunner {
public:
    // `hung`: the programmer enumerates but never takes or sends data, so the
    // device controller refuses (NAKs) every data transfer.
    GadgetRunner(const std::string& name, std::string udc, const std::vector<GadgetMode>& modes,
                 ProgrammerPort& port, bool hung);
    ~GadgetRunner();
    GadgetRunner(const GadgetRunner&) = delete;
    GadgetRunner& operator=(const GadgetRunner&) = delete;

    // Serves until `stop` is set, then takes the gadget off the bus.
    void run(const std::atomic<bool>& stop);

private:
    struct Mode {
        std::unique_ptr<ConfigfsGadget> gadget;
        std::unique_ptr<FunctionFs> function;
    };

    void receiveLoop(size_t mode);
    void sendLoop(size_t mode);
    void serveControl(size_t mode);
    void followProgrammer();
    void stopThreads();

    std::string name_;
    std::string udc_;
    ProgrammerPort& port_;
    bool hung_;
    std::vector<Mode> modes_;
    std::vector<std::thread> threads_;

    std::mutex lock_;
    std::condition_variable wake_;
    std::atomic<bool> stopping_ = false;
    std::atomic<int> running_ = 0;     // threads not yet out of their loops
    std::optional<size_t> boundMode_;  // the mode on the bus, if any
    bool sending_ = false;             // an IN transfer is under way
    bool hostSentSomething_ = false;
    // On the bus: the last time the programmer was seen there; off it: when it left.
    uint64_t stateSinceMs_ = 0;
};

}  // namespace korvid::gadget
