#include "usb_descriptors.h"

#include <linux/usb/functionfs.h>

#include <cstring>

namespace korvid::gadget {
namespace {

constexpr uint8_t kInterfaceDescriptor = 0x04;
constexpr uint8_t kEndpointDescriptor = 0x05;
constexpr uint8_t kHidDescriptor = 0x21;
constexpr uint8_t kReportDescriptor = 0x22;
constexpr uint8_t kHidClass = 0x03;
constexpr uint8_t kVendorClass = 0xFF;
constexpr uint8_t kInterrupt = 0x03;
constexpr uint8_t kBulk = 0x02;
constexpr uint8_t kReportDataBytes = 64;
constexpr uint8_t kHighestReportId = 64;

void appendLe16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void appendLe32(Bytes& out, uint32_t value) {
    appendLe16(out, value & 0xFFFF);
    appendLe16(out, value >> 16);
}

// FunctionFS blobs start with a magic word and their own length.
void setLengthField(Bytes& blob) {
    const auto total = static_cast<uint32_t>(blob.size());
    for (size_t i = 0; i < 4; ++i) {
        blob[4 + i] = static_cast<uint8_t>(total >> (8 * i));
    }
}

void appendInterface(Bytes& out, uint8_t interfaceClass) {
    out.insert(out.end(), {9, kInterfaceDescriptor, 0, 0, 2, interfaceClass, 0, 0, 1});
}

void appendEndpoint(Bytes& out, uint8_t address, uint8_t type, uint16_t maxPacket,
                    uint8_t interval) {
    out.insert(out.end(), {7, kEndpointDescriptor, address, type});
    appendLe16(out, maxPacket);
    out.push_back(interval);
}

// Vendor page, one application collection, 8-bit fields of 0..255, 64 of them.
Bytes reportDescriptorStart() {
    return {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15,
            0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, kReportDataBytes};
}

}  // namespace

Bytes NormalModeReportDescriptor() {
    Bytes descriptor = reportDescriptorStart();
    for (uint8_t id = 1; id <= kHighestReportId; ++id) {
        descriptor.insert(descriptor.end(),
                          {0x85, id, 0x09, 0x01, 0x81, 0x02, 0x09, 0x01, 0x91, 0x02});
    }
    descriptor.push_back(0xC0);
    return descriptor;
}

Bytes UpdateModeReportDescriptor() {
    Bytes descriptor = reportDescriptorStart();
    descriptor.insert(descriptor.end(), {0x09, 0x01, 0x81, 0x02, 0x09, 0x01, 0x91, 0x02, 0x09, 0x01,
                                         0xB1, 0x02, 0xC0});
    return descriptor;
}

Bytes HidInterfaceDescriptors(size_t reportDescriptorLength) {
    Bytes out;
    appendInterface(out, kHidClass);
    out.insert(out.end(), {9, kHidDescriptor, 0x11, 0x01, 0x00, 0x01, kReportDescriptor});
    appendLe16(out, static_cast<uint16_t>(reportDescriptorLength));
    appendEndpoint(out, 0x81, kInterrupt, kReportDataBytes, 1);
    appendEndpoint(out, 0x02, kInterrupt, kReportDataBytes, 1);
    return out;
}

Bytes BulkInterfaceDescriptors(uint16_t maxPacketBytes) {
    Bytes out;
    appendInterface(out, kVendorClass);
    appendEndpoint(out, 0x81, kBulk, maxPacketBytes, 0);
    appendEndpoint(out, 0x02, kBulk, maxPacketBytes, 0);
    return out;
}

Bytes FunctionFsDescriptors(const Bytes& fullSpeed, const Bytes& highSpeed) {
    // Each speed's list is counted in descriptors: every one starts with its length.
    const auto count = [](const Bytes& list) {
        uint32_t n = 0;
        for (size_t at = 0; at < list.size() && list[at] != 0; at += list[at]) {
            ++n;
        }
        return n;
    };
    Bytes out;
    appendLe32(out, FUNCTIONFS_DESCRIPTORS_MAGIC_V2);
    appendLe32(out, 0);  // total length, set below
    appendLe32(out, FUNCTIONFS_HAS_FS_DESC | FUNCTIONFS_HAS_HS_DESC);
    appendLe32(out, count(fullSpeed));
    appendLe32(out, count(highSpeed));
    out.insert(out.end(), fullSpeed.begin(), fullSpeed.end());
    out.insert(out.end(), highSpeed.begin(), highSpeed.end());
    setLengthField(out);
    return out;
}

Bytes FunctionFsStrings(const char* interfaceName) {
    Bytes out;
    appendLe32(out, FUNCTIONFS_STRINGS_MAGIC);
    appendLe32(out, 0);  // total length, set below
    appendLe32(out, 1);  // strings per language
    appendLe32(out, 1);  // languages
    appendLe16(out, 0x0409);
    out.insert(out.end(), interfaceName, interfaceName + std::strlen(interfaceName) + 1);
    setLengthField(out);
    return out;
}

}  // namespace korvid::gadget
