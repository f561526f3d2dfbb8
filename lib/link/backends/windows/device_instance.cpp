#include "link/backends/windows/device_instance.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

namespace korvid::platform {
namespace {

std::string upperCase(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

// The four hexadecimal digits after `key` ("VID_", "PID_") in an upper-case text.
std::optional<uint16_t> fieldAfter(const std::string& upper, std::string_view key) {
    const size_t at = upper.find(key);
    if (at == std::string::npos || at + key.size() + 4 > upper.size()) {
        return std::nullopt;
    }
    uint16_t value = 0;
    const char* first = upper.data() + at + key.size();
    const auto [end, error] = std::from_chars(first, first + 4, value, 16);
    if (error != std::errc() || end != first + 4) {
        return std::nullopt;
    }
    return value;
}

std::string registryText(DEVINST instance, ULONG property) {
    std::vector<char> buffer(256, '\0');
    ULONG length = static_cast<ULONG>(buffer.size());
    if (CM_Get_DevNode_Registry_PropertyA(instance, property, nullptr, buffer.data(), &length, 0) !=
        CR_SUCCESS) {
        return "";
    }
    buffer.back() = '\0';
    return buffer.data();
}

}  // namespace

std::optional<UsbIds> usbIdsOfInstanceId(std::string_view instanceId) {
    const std::string upper = upperCase(instanceId);
    const std::optional<uint16_t> vendor = fieldAfter(upper, "VID_");
    const std::optional<uint16_t> product = fieldAfter(upper, "PID_");
    if (!vendor || !product) {
        return std::nullopt;
    }
    return UsbIds{*vendor, *product};
}

bool isUsbDeviceInstanceId(std::string_view instanceId) {
    const std::string upper = upperCase(instanceId);
    return upper.starts_with("USB\\") && upper.find("&MI_") == std::string::npos &&
           usbIdsOfInstanceId(upper).has_value();
}

std::string usbSerialOfInstanceId(std::string_view instanceId) {
    const size_t slash = instanceId.rfind('\\');
    if (slash == std::string_view::npos || !isUsbDeviceInstanceId(instanceId)) {
        return "";
    }
    const std::string_view last = instanceId.substr(slash + 1);
    return last.find('&') == std::string_view::npos ? std::string(last) : "";
}

std::string instanceIdOf(DEVINST instance) {
    char id[MAX_DEVICE_ID_LEN + 1] = {};
    return CM_Get_Device_IDA(instance, id, MAX_DEVICE_ID_LEN, 0) == CR_SUCCESS ? id : "";
}

UsbPlace usbPlaceOfDeviceInstance(DEVINST instance) {
    // A HID interface sits below its USB device, perhaps below a composite
    // device's interface node too; a handful of steps up is always enough.
    for (int depth = 0; depth < 8; ++depth) {
        const std::string id = instanceIdOf(instance);
        if (id.empty()) {
            break;
        }
        if (isUsbDeviceInstanceId(id)) {
            return {registryText(instance, CM_DRP_LOCATION_INFORMATION), usbSerialOfInstanceId(id)};
        }
        DEVINST parent = 0;
        if (CM_Get_Parent(&parent, instance, 0) != CR_SUCCESS) {
            break;
        }
        instance = parent;
    }
    return {};
}

}  // namespace korvid::platform
