// Running programs inside the guest: the tool as the unprivileged test user, and
// gadget programmers as root.
#pragma once

#include <sys/types.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korvid::usbstack {

// The unprivileged user the tool runs as; its group "korvid" gets the programmers'
// device nodes, as the packaged udev rules give them to the logged-in user.
inline constexpr const char* kTestUser = "tester";

struct Finished {
    bool exited = false;    // ended by exit(), not by a signal
    int status = -1;        // its exit status when it exited
    bool timedOut = false;  // killed after the time-out
    std::string out;
    std::string err;
    double seconds = 0;
};

struct Program {
    std::vector<std::string> arguments;  // arguments[0] is the program's path
    std::vector<std::string> environment{};
    bool asTestUser = true;
    int timeoutSeconds = 120;
};

// Runs the program to its end (or the time-out) and collects its output.
Finished Run(const Program& program);

// One simulated programmer on USB: the gadget program on one of the guest's device
// controllers (0 and 1), whose host bus is 1 + controller, so the programmer sits
// at location "<bus>-1".
class GadgetProgrammer {
public:
    GadgetProgrammer(std::string programmer, int controller, std::string serial,
                     std::vector<std::string> options = {});
    // Stops it if that was not done.
    ~GadgetProgrammer();
    GadgetProgrammer(const GadgetProgrammer&) = delete;
    GadgetProgrammer& operator=(const GadgetProgrammer&) = delete;

    const std::string& location() const { return location_; }
    const std::string& serial() const { return serial_; }

    // Waits until the host enumerated it with this product identifier and (unless
    // the nodes are kept for root) the test user may open its device node. The
    // node, or "" when it did not come within the bound.
    std::string waitUntilAttached(uint16_t productId, bool accessible = true) const;

    // Stops the gadget; what the programmer went through (see gadget_state.h).
    std::map<std::string, std::string> stop();

private:
    std::string name_;
    std::string location_;
    std::string serial_;
    std::string stateFile_;
    pid_t pid_ = -1;
};

// The device node of the USB device at this location for its product: the hidraw
// node of its HID interface, or else its usbfs node; "" when there is none.
std::string DeviceNodeAt(const std::string& location);

// Whether any file descriptor of this process refers to a programmer's node.
bool HoldsProgrammerNode();

}  // namespace korvid::usbstack
