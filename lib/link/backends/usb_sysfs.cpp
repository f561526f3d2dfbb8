#include "link/backends/usb_sysfs.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

namespace korvid::platform {
namespace {

bool isNumber(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

// "B-P" followed by any number of ".P", all decimal.
bool namesUsbDevice(std::string_view name) {
    const size_t dash = name.find('-');
    if (dash == std::string_view::npos || !isNumber(name.substr(0, dash))) {
        return false;
    }
    std::string_view ports = name.substr(dash + 1);
    while (true) {
        const size_t dot = ports.find('.');
        if (!isNumber(ports.substr(0, dot))) {
            return false;
        }
        if (dot == std::string_view::npos) {
            return true;
        }
        ports.remove_prefix(dot + 1);
    }
}

}  // namespace

std::optional<std::string> usbLocationInSysfsPath(std::string_view path) {
    std::optional<std::string> location;
    while (!path.empty()) {
        const size_t slash = path.find('/');
        const std::string_view component = path.substr(0, slash);
        if (namesUsbDevice(component)) {
            location = std::string(component);
        }
        if (slash == std::string_view::npos) {
            break;
        }
        path.remove_prefix(slash + 1);
    }
    return location;
}

std::string usbSerialAt(const std::string& location, const std::string& devicesDir) {
    if (location.empty()) {
        return {};
    }
    std::ifstream file(std::filesystem::path(devicesDir) / location / "serial");
    std::string serial;
    std::getline(file, serial);
    return serial;
}

}  // namespace korvid::platform
