#include "access/device_access.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "link/backends/hidraw_nodes.h"
#include "link/hid_link.h"
#include "link/pipe_link.h"

namespace korvid::access {
namespace fs = std::filesystem;

namespace {

std::string readAttribute(const fs::path& file) {
    std::ifstream in(file);
    std::string value;
    in >> value;
    return value;
}

bool isProgrammerProduct(unsigned product) {
    return product == link::kHidProductNormal || product == link::kHidProductFirmwareUpdate ||
           product == link::kPipeProduct;
}

// The /dev/bus/usb/BBB/DDD nodes of every attached programmer.
std::vector<std::string> usbNodesOfProgrammers(const SystemPaths& paths) {
    std::vector<std::string> nodes;
    std::error_code error;
    for (fs::directory_iterator entry(paths.usbDevices, error), end; !error && entry != end;
         entry.increment(error)) {
        const fs::path device = entry->path();
        unsigned vendor = 0, product = 0, bus = 0, number = 0;
        if (std::sscanf(readAttribute(device / "idVendor").c_str(), "%x", &vendor) != 1 ||
            std::sscanf(readAttribute(device / "idProduct").c_str(), "%x", &product) != 1 ||
            vendor != link::kVendorId || !isProgrammerProduct(product) ||
            std::sscanf(readAttribute(device / "busnum").c_str(), "%u", &bus) != 1 ||
            std::sscanf(readAttribute(device / "devnum").c_str(), "%u", &number) != 1) {
            continue;
        }
        char node[32];
        std::snprintf(node, sizeof node, "/bus/usb/%03u/%03u", bus, number);
        nodes.push_back(paths.devRoot + node);
    }
    return nodes;
}

}  // namespace

AccessReport probeProgrammerAccess(const SystemPaths& paths) {
    std::vector<std::string> nodes = usbNodesOfProgrammers(paths);
    for (const std::string& hidraw :
         platform::hidrawNodesOfVendor(link::kVendorId, paths.hidrawClass)) {
        // hidrawNodesOfVendor names nodes under /dev; keep them under devRoot.
        nodes.push_back(paths.devRoot + hidraw.substr(std::string("/dev").size()));
    }
    AccessReport report;
    if (nodes.empty()) {
        return report;
    }
    report.presence = Presence::NotAccessible;
    const auto mayOpen = paths.mayOpen ? paths.mayOpen : platform::isReadWriteAccessible;
    for (const std::string& node : nodes) {
        if (mayOpen(node)) {
            report.presence = Presence::Accessible;
        } else {
            report.blockedNodes.push_back(node);
        }
    }
    return report;
}

std::string accessAdvice(const AccessReport& report) {
    if (report.presence != Presence::NotAccessible) {
        return {};
    }
    std::string nodes;
    for (const std::string& node : report.blockedNodes) {
        nodes += (nodes.empty() ? "" : ", ") + node;
    }
    return "The programmer is connected, but this user may not open " + nodes + ": install " +
           kRulesFileName +
           " into /etc/udev/rules.d (the package puts it in /usr/lib/udev/rules.d), then run "
           "'udevadm control --reload && udevadm trigger' or plug the programmer in again.";
}

}  // namespace korvid::access
