#include "programming/program_command.h"

#include <algorithm>

#include "korvid.h"

namespace korvid::programming {
namespace {

void putLittleEndian(uint8_t* at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        at[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// The part byte: partIndex - 0x30 for ICP jobs (low byte), 0xFF for ISP jobs.
uint8_t partByte(const ProgramFields& f) {
    return f.icp ? static_cast<uint8_t>(f.partIndex - 0x30) : 0xFF;
}

// The start address of the area an ICP job programs, where it has one.
uint32_t areaAddress(const ProgramFields& f) {
    if (!f.icp) {
        return 0;
    }
    switch (f.programArea) {
        case AREA_IAP:
            return f.part.iapStart;
        case AREA_ISP:
            return f.part.ispStart;
        default:
            return 0;
    }
}

// The pipe header's area byte: the page (bits 8-15) of the area's start.
uint8_t areaByte(const ProgramFields& f) {
    if (!f.icp) {
        return 0xFF;
    }
    switch (f.programArea) {
        case AREA_AP:
        case AREA_AP_IAP:
        case AREA_WHOLE_CHIP:
            return 0x00;
        case AREA_IAP:
        case AREA_ISP:
            return static_cast<uint8_t>(areaAddress(f) >> 8);
        default:
            return 0xFF;
    }
}

}  // namespace

ProgramCommand buildProgramCommand(const ProgramFields& f) {
    ProgramCommand c;
    c.fill(0xFF);
    c[0] = f.icp ? (f.toTarget ? 0xC3 : 0xC2) : (f.toTarget ? 0xC1 : 0xC0);
    putLittleEndian(&c[1], areaAddress(f), 4);
    putLittleEndian(&c[5], f.imageLength, 4);
    putLittleEndian(&c[9], f.checksum, 2);
    c[11] = partByte(f);
    if (f.icp) {
        std::copy(f.part.icpConfigBytes.begin(), f.part.icpConfigBytes.end(), &c[12]);
    } else {
        c[12] = f.part.ispOptionByte;
    }
    c[20] = f.serialFlags & 0x03;
    putLittleEndian(&c[21], f.maxCount, 2);
    putLittleEndian(&c[23], f.serialAddress, 4);
    putLittleEndian(&c[27], f.serialNumber, 4);
    return c;
}

PipeProgramHeader buildPipeProgramHeader(const ProgramFields& f) {
    PipeProgramHeader h;
    h.fill(0xFF);
    h[0] = 0x5A;
    h[1] = 0xA5;
    if (f.icp) {
        h[2] = f.toTarget ? kOptionStartToTarget : kOptionStartToProgrammer;
        std::copy(f.part.icpConfigBytes.begin(), f.part.icpConfigBytes.end(), &h[6]);
    } else {
        h[2] = f.part.ispOptionByte;
    }
    h[3] = f.icp ? 0xF2 : 0xF1;
    h[4] = partByte(f);
    h[5] = areaByte(f);
    putLittleEndian(&h[14], f.maxCount, 2);
    h[16] = f.serialFlags & 0x03;
    putLittleEndian(&h[17], f.serialAddress, 2);
    putLittleEndian(&h[19], f.serialNumber, 4);
    return h;
}

}  // namespace korvid::programming
