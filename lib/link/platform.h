// The platform seam: the only operations the programmer protocols need from the
// operating system. The protocol code (links, detection, programming, firmware
// update) talks to these interfaces and never to hidapi, libusb or the clock
// directly. Real backends, the simulated programmers and test fakes implement them.
//
// Contract for every implementation:
// - All calls are made from one thread at a time; implementations need no locking.
// - No call blocks without a bound: reads and transfers take a time-out.
// - A device object closes its platform handle in its destructor; destroying it
//   is the "close" operation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace korvid::platform {

// Why an open failed: lets callers tell "present but not accessible" from "absent".
enum class OpenFailure { None, NotFound, AccessDenied, Busy, Other };

// One present HID interface, as enumeration lists it.
struct HidDeviceInfo {
    std::string path{};  // also its device node
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    // The USB device's bus and port path as sysfs names it ("1-2.3"); "" when the
    // interface is not on USB. The same after re-plugging into the same port and in
    // every mode of the device.
    std::string location{};
    std::string serial{};    // USB serial string; "" when the device has none
    bool accessible = true;  // this user may open the node for reading and writing
};

// Report byte lengths as the Windows HID capabilities report them: the largest
// report of each kind over all report identifiers, plus the one leading
// report-identifier byte that these lengths always include. 0 where the device
// declares no report of that kind.
struct ReportLengths {
    size_t input = 0;
    size_t output = 0;
    size_t feature = 0;
};

enum class ReadResult { Report, Timeout, Error };

// An opened HID interface. Report buffers use the Windows layout: byte 0 is the
// report-identifier position, the report data follows.
class HidDevice {
public:
    virtual ~HidDevice() = default;

    virtual ReportLengths reportLengths() const = 0;

    // Writes one output report; report[0] goes out as it stands. True when all
    // `length` bytes were written.
    virtual bool writeOutputReport(const uint8_t* report, size_t length) = 0;

    // Reads one input report into report[0 .. length), waiting at most timeoutMs.
    // A report shorter than `length` is padded with zeros. On Timeout and Error
    // the buffer is left untouched.
    virtual ReadResult readInputReport(uint8_t* report, size_t length, int timeoutMs) = 0;

    // Sends / fetches one feature report; report[0] is the report identifier.
    virtual bool setFeatureReport(const uint8_t* report, size_t length) = 0;
    virtual bool getFeatureReport(uint8_t* report, size_t length) = 0;

    // Abandons pending transfers on the device (best effort).
    virtual void cancelPendingTransfers() = 0;
};

class HidBus {
public:
    virtual ~HidBus() = default;

    // The present HID interfaces in a stable order, each path once, with where they
    // sit on USB and whether this user may open them. Opens nothing.
    virtual std::vector<HidDeviceInfo> enumerate() = 0;

    // Opens a path for reading and writing; nullptr and `failure` set when it fails.
    virtual std::unique_ptr<HidDevice> open(const std::string& path, OpenFailure& failure) = 0;

    // Returns once the system has no device installation pending (a device that
    // just re-appeared is usable), or after a bounded time.
    virtual void waitForPendingInstallations() = 0;
};

enum class Pipe : uint32_t { Read = 1, Write = 2 };

enum class TransferResult {
    Done,         // the transfer completed
    StartFailed,  // it could not be started
    Timeout,      // still pending when the time-out passed (it was cancelled)
    Failed,       // the platform reported the transfer as failed
    DeviceFault   // device error on the pipe (stall, CRC, bad command)
};

// An opened bulk-pipe device of the older programmer model.
class PipeDevice {
public:
    virtual ~PipeDevice() = default;

    // One transfer of `length` bytes on the read or the write data pipe, waiting at
    // most timeoutMs milliseconds. `moved` receives the bytes actually moved.
    virtual TransferResult transfer(Pipe pipe, uint8_t* data, size_t length, uint32_t timeoutMs,
                                    size_t& moved) = 0;

    // Cancels pending transfers on the pipe and resets it (clears a halt).
    virtual void resetPipe(Pipe pipe) = 0;
};

// One present bulk-pipe device, as enumeration lists it.
struct PipeDeviceInfo {
    std::string location{};  // USB bus and port path, "1-2.3"
    std::string serial{};    // USB serial string; "" when the device has none
    std::string node{};      // device node, "/dev/bus/usb/BBB/DDD"
    bool accessible = true;
};

class PipeBus {
public:
    virtual ~PipeBus() = default;

    // The present devices with these identifiers, in the order open() counts them
    // (entry k is device n = k + 1). Reads no more than the system's device list:
    // nothing is opened and nothing crosses the bus.
    virtual std::vector<PipeDeviceInfo> enumerate(uint16_t vendorId, uint16_t productId) = 0;

    // Opens the n-th (1-based) present device with these identifiers, in a stable
    // order; nullptr and `failure` set when there is none or it cannot be opened.
    virtual std::unique_ptr<PipeDevice> open(uint16_t vendorId, uint16_t productId, unsigned n,
                                             OpenFailure& failure) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual void sleepMs(uint32_t milliseconds) = 0;
    // Busy-waits; never sleeps.
    virtual void busyWaitUs(uint32_t microseconds) = 0;
    // Microseconds since an arbitrary start; never goes backwards. Pauses and busy
    // waits advance it, so bounds on overall waits hold on a virtual clock too.
    virtual uint64_t nowUs() = 0;
};

// A USB device as the system's device tree lists it, whether or not a driver of
// the system offers it to open.
struct TreeUsbDevice {
    uint16_t productId = 0;
    std::string location{};  // as the buses give it for the same device
    std::string serial{};    // "" when the device has none
    std::string instance{};  // the system's name of the device
};

struct Platform {
    HidBus* hid = nullptr;
    PipeBus* pipe = nullptr;
    Clock* clock = nullptr;
    // The present USB devices of a vendor in the system's device tree, each whole
    // USB device once, with or without a driver: on Windows a programmer whose HID
    // or still-image driver is missing is in neither bus's list, only here. None on
    // Linux, whose buses list every attached programmer (hidraw and usbfs nodes
    // need no driver of ours), nor for the simulated programmers. Opens nothing.
    std::vector<TreeUsbDevice> (*treeUsbDevices)(uint16_t vendorId) = nullptr;
};

// The current platform's device tree (Platform::treeUsbDevices); empty without one.
std::vector<TreeUsbDevice> treeUsbDevices(uint16_t vendorId);

// The platform the protocol code uses: the real backends, or a built-in simulated
// programmer when KORVID_SIMULATE names one, chosen on first use. While a wire trace
// runs (KorvidStartTrace, KORVID_TRACE) every call to it is recorded on the way.
Platform& current();

// Replaces the platform for tests; nullptr restores the default choice.
void setForTesting(Platform* platform);

}  // namespace korvid::platform
