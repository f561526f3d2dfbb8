// One FunctionFS function: its file system mounted, the descriptors written to its
// control endpoint, its data endpoints open. The control endpoint delivers the
// host's requests for the function as events; data endpoints are read and written
// as files, each call one transfer, blocking until the host takes part.
#pragma once

#include <linux/usb/functionfs.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvid::gadget {

class FunctionFs {
public:
    // Mounts instance `name` (its ffs.<name> must exist in configfs) and opens its
    // control endpoint and `endpoints` data endpoints after writing the blobs.
    FunctionFs(std::string name, const std::vector<uint8_t>& descriptors,
               const std::vector<uint8_t>& strings, size_t endpoints);
    // Closes every endpoint and unmounts.
    ~FunctionFs();
    FunctionFs(const FunctionFs&) = delete;
    FunctionFs& operator=(const FunctionFs&) = delete;

    int controlFd() const { return ep0_; }
    // Data endpoint n (1-based, in the order of the descriptors).
    int endpointFd(size_t n) const { return endpoints_.at(n - 1); }

    // The next event of the control endpoint, or nothing when none is waiting.
    std::optional<usb_functionfs_event> nextEvent();

    // Answers the pending request: the data stage of an IN request (at most as many
    // bytes as the host asked for), the data stage of an OUT request (exactly
    // wLength bytes, none for a status-only request), or a stall.
    bool sendData(const usb_ctrlrequest& request, const uint8_t* data, size_t length);
    std::optional<std::vector<uint8_t>> receiveData(const usb_ctrlrequest& request);
    void stall(const usb_ctrlrequest& request);

private:
    std::string mountPoint_;
    int ep0_ = -1;
    std::vector<int> endpoints_;
};

}  // namespace korvid::gadget
