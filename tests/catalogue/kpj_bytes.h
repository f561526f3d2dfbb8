// Project file bytes built field by field from the file format alone, without the
// library's writer, so tests can craft good and malformed projects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvid::catalogue::testing {

struct ProjectFields {
    std::vector<uint8_t> code;
    std::string name;
    std::string magic = "Vostrel. ISP-ICP";
    uint16_t deviceCode = 0x00;
    uint8_t ispOptionByte = 0xBF;
    uint8_t storedArea = 1;  // programArea + 1
    uint8_t icpBytes[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    uint16_t programmerIdentifier = 0;
    uint16_t version = 0x0710;
    uint8_t toolCode = 3;
    int32_t codeLengthDelta = 0;  // added to the stored code length
    uint16_t codeSumDelta = 0;    // added to the stored code sum
    uint16_t footerSumDelta = 0;  // added to the stored footer sum
};

inline void appendBigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

inline std::vector<uint8_t> projectFooter(const ProjectFields& fields) {
    std::vector<uint8_t> footer(fields.magic.begin(), fields.magic.end());
    footer.push_back(static_cast<uint8_t>(fields.name.size()));
    footer.insert(footer.end(), fields.name.begin(), fields.name.end());
    uint32_t codeSum = 0;
    for (uint8_t byte : fields.code) {
        codeSum += byte;
    }
    appendBigEndian(footer, static_cast<uint32_t>(fields.code.size() + fields.codeLengthDelta), 4);
    appendBigEndian(footer, (codeSum + fields.codeSumDelta) & 0xFFFF, 2);
    appendBigEndian(footer, fields.deviceCode, 2);
    footer.push_back(fields.ispOptionByte);
    footer.push_back(fields.storedArea);
    footer.push_back(8);
    footer.insert(footer.end(), std::begin(fields.icpBytes), std::end(fields.icpBytes));
    footer.insert(footer.end(), {0x34, 0x12, 26, 12, 8, 1, 50, 0});  // random word, time
    appendBigEndian(footer, fields.programmerIdentifier, 2);
    appendBigEndian(footer, fields.version, 2);
    footer.push_back(fields.toolCode);
    const auto footerLength = static_cast<uint32_t>(footer.size() + 4);
    uint32_t footerSum = (footerLength >> 8) + (footerLength & 0xFF);
    for (uint8_t byte : footer) {
        footerSum += byte;
    }
    appendBigEndian(footer, (footerSum + fields.footerSumDelta) & 0xFFFF, 2);
    appendBigEndian(footer, footerLength, 2);
    return footer;
}

inline std::vector<uint8_t> projectFile(const ProjectFields& fields) {
    std::vector<uint8_t> file = fields.code;
    const std::vector<uint8_t> footer = projectFooter(fields);
    file.insert(file.end(), footer.begin(), footer.end());
    return file;
}

}  // namespace korvid::catalogue::testing
