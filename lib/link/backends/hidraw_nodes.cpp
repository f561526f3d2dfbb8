#include "link/backends/hidraw_nodes.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "link/backends/usb_sysfs.h"

namespace korvid::platform {
namespace fs = std::filesystem;

namespace {

std::optional<uint16_t> hexField(const std::string& text, size_t at, size_t width) {
    if (at + width > text.size()) {
        return std::nullopt;
    }
    unsigned value = 0;
    const char* first = text.data() + at;
    const char* last = first + width;
    const auto [end, error] = std::from_chars(first, last, value, 16);
    if (error != std::errc{} || end != last) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(value);
}

// The node's name ("hidrawN") behind a device path; a udev symlink to the node
// names the node behind it.
std::optional<std::string> hidrawNodeName(const std::string& devicePath) {
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(devicePath, error);
    std::string node = (error ? fs::path(devicePath) : resolved).filename().string();
    if (node.rfind("hidraw", 0) != 0) {
        return std::nullopt;
    }
    return node;
}

}  // namespace

std::optional<HidIds> parseHidDeviceName(const std::string& name) {
    // "0003:4C7B:0323.0005": bus 0..3, vendor 5..8, product 10..13.
    if (name.size() < 19 || name[4] != ':' || name[9] != ':' || name[14] != '.') {
        return std::nullopt;
    }
    const auto bus = hexField(name, 0, 4);
    const auto vendor = hexField(name, 5, 4);
    const auto product = hexField(name, 10, 4);
    if (!bus || !vendor || !product) {
        return std::nullopt;
    }
    return HidIds{*vendor, *product};
}

std::optional<std::vector<uint8_t>> readReportDescriptor(const std::string& devicePath,
                                                         const std::string& classDir) {
    const auto node = hidrawNodeName(devicePath);
    if (!node) {
        return std::nullopt;
    }
    std::ifstream file(fs::path(classDir) / *node / "device" / "report_descriptor",
                       std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file),
                               std::istreambuf_iterator<char>()};
    if (file.bad()) {
        return std::nullopt;
    }
    return bytes;
}

std::string usbLocationOfHidrawNode(const std::string& devicePath, const std::string& classDir) {
    const auto node = hidrawNodeName(devicePath);
    if (!node) {
        return {};
    }
    std::error_code error;
    const fs::path device = fs::canonical(fs::path(classDir) / *node / "device", error);
    if (error) {
        return {};
    }
    return usbLocationInSysfsPath(device.string()).value_or("");
}

std::vector<std::string> hidrawNodesOfVendor(uint16_t vendorId, const std::string& classDir) {
    std::vector<std::string> nodes;
    std::error_code error;
    for (fs::directory_iterator entry(classDir, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code linkError;
        const fs::path device = fs::canonical(entry->path() / "device", linkError);
        if (linkError) {
            continue;  // the node vanished while we looked
        }
        const auto ids = parseHidDeviceName(device.filename().string());
        if (ids && ids->vendorId == vendorId) {
            nodes.push_back("/dev/" + entry->path().filename().string());
        }
    }
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}

bool isReadWriteAccessible(const std::string& devicePath) {
    return ::access(devicePath.c_str(), R_OK | W_OK) == 0;
}

OpenFailure openFailureFromErrno(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return OpenFailure::AccessDenied;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return OpenFailure::NotFound;
        case EBUSY:
            return OpenFailure::Busy;
        default:
            return OpenFailure::Other;
    }
}

OpenFailure diagnoseOpenFailure(const std::string& devicePath) {
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return OpenFailure::Other;
    }
    return openFailureFromErrno(errno);
}

}  // namespace korvid::platform
