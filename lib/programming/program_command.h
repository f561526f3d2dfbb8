// The two forms of the programming command: the 31-byte ProgramCommand of the
// HID programmer and the 23-byte pipeProgramHeader of the older programmer.
#pragma once

#include <array>
#include <cstdint>

#include "programming/part_settings.h"

namespace korvid::programming {

// Everything the command carries about one job.
struct ProgramFields {
    bool icp = false;
    bool toTarget = false;
    int32_t partIndex = 0;
    uint32_t programArea = 0;
    PartSettings part;
    uint32_t imageLength = 0;
    uint16_t checksum = 0;    // low 16 bits of the image's byte sum
    uint8_t serialFlags = 0;  // bit 0 serial number on, bit 1 auto increment
    uint16_t maxCount = 0;
    uint32_t serialAddress = 0;  // the serial number's address in the image
    uint32_t serialNumber = 0;
};

using ProgramCommand = std::array<uint8_t, 31>;
using PipeProgramHeader = std::array<uint8_t, 23>;

ProgramCommand buildProgramCommand(const ProgramFields& fields);
PipeProgramHeader buildPipeProgramHeader(const ProgramFields& fields);

}  // namespace korvid::programming
