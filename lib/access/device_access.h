// Whether an attached programmer can be opened by this user. The exported functions
// answer only "no device" (0xE1); the program and the command-line tool ask this
// query afterwards so that a programmer that is present but whose device node is
// not accessible (no udev rule yet) is reported with its fix.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace korvid::access {

inline constexpr const char* kRulesFileName = "60-korvid.rules";

enum class Presence {
    NotFound,      // no programmer of either model in either mode is attached
    Accessible,    // at least one attached programmer node opens read-write
    NotAccessible  // programmers are attached, but none of their nodes may be opened
};

struct AccessReport {
    Presence presence = Presence::NotFound;
    std::vector<std::string> blockedNodes;  // device nodes found but not accessible
};

#if defined(_WIN32)
// Windows' view is its device tree, read through SetupAPI: nothing to point elsewhere.
struct SystemPaths {};
#else
// Where the kernel's view is read from; tests point these at a made-up tree.
struct SystemPaths {
    std::string usbDevices = "/sys/bus/usb/devices";
    std::string hidrawClass = "/sys/class/hidraw";
    std::string devRoot = "/dev";
    // Whether this process may open a node read-write (access(2) by default).
    std::function<bool(const std::string& node)> mayOpen;
};
#endif

// Looks at the USB devices (vendor 0x4C7B, products 0x0323, 0x030B, 0x030D) and
// the HID programmer's hidraw nodes; reads sysfs only, opens nothing. On Windows:
// at the USB devices in the device tree and whether the HID programmer's
// interfaces open and the older one has its still-image device.
AccessReport probeProgrammerAccess(const SystemPaths& paths = {});

// One line telling the user how to get access, naming the rules file.
std::string accessAdvice(const AccessReport& report);

}  // namespace korvid::access
