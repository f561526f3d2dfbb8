// The USB descriptors and HID report descriptors with which the gadget programmers
// present themselves, as bytes for FunctionFS.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvid::gadget {

using Bytes = std::vector<uint8_t>;

// The HID programmer in normal mode: vendor-defined input and output reports of 64
// data bytes under the report identifiers 1 to 64, so that the count byte that
// starts every report is its report identifier.
Bytes NormalModeReportDescriptor();

// The HID programmer in firmware-update mode: input, output and feature reports of
// 64 data bytes without report identifiers.
Bytes UpdateModeReportDescriptor();

// One interface with an interrupt IN and an interrupt OUT endpoint of 64 bytes and
// the HID class descriptor naming a report descriptor of this length.
Bytes HidInterfaceDescriptors(size_t reportDescriptorLength);

// One vendor-specific interface with a bulk IN and a bulk OUT endpoint of
// `maxPacketBytes` each.
Bytes BulkInterfaceDescriptors(uint16_t maxPacketBytes);

// The FunctionFS blob of descriptors: the same interface for full and high speed.
Bytes FunctionFsDescriptors(const Bytes& fullSpeed, const Bytes& highSpeed);

// The FunctionFS blob of strings: one string (the interface's), US English.
Bytes FunctionFsStrings(const char* interfaceName);

}  // namespace korvid::gadget
