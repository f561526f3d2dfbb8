#include "link/backends/report_descriptor.h"

#include <array>
#include <vector>

namespace korvid::platform {
namespace {

// Item prefix: bits 0-1 data size (3 means 4 bytes), bits 2-3 type, bits 4-7 tag.
// Local items (usages, delimiters) only name fields and never change their size;
// reserved item types are skipped like the kernel skips them.
enum ItemType : uint8_t { Main = 0, Global = 1 };
enum MainTag : uint8_t { Input = 0x8, Output = 0x9, Feature = 0xB };
enum GlobalTag : uint8_t {
    ReportSize = 0x7,
    ReportId = 0x8,
    ReportCount = 0x9,
    Push = 0xA,
    Pop = 0xB
};
constexpr uint8_t kLongItemPrefix = 0xFE;

// The kernel refuses reports longer than its report buffer (HID_MAX_BUFFER_SIZE
// 16384, one byte of it the report identifier).
constexpr uint64_t kMaxReportBits = (16384 - 1) * 8;
constexpr size_t kReportIds = 256;

// The global state that decides report lengths; Push and Pop save and restore it.
struct Globals {
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint32_t reportId = 0;
};

struct ReportBits {
    std::array<uint64_t, kReportIds> bits{};
    bool present = false;

    size_t byteLength() const {
        if (!present) {
            return 0;
        }
        uint64_t largest = 0;
        for (uint64_t b : bits) {
            largest = b > largest ? b : largest;
        }
        return static_cast<size_t>((largest + 7) / 8 + 1);
    }
};

uint32_t littleEndian(const uint8_t* data, size_t size) {
    uint32_t value = 0;
    for (size_t i = size; i > 0; --i) {
        value = (value << 8) | data[i - 1];
    }
    return value;
}

}  // namespace

std::optional<ReportDescriptorSummary> summarizeReportDescriptor(
    std::span<const uint8_t> descriptor) {
    std::array<ReportBits, 3> reports{};  // input, output, feature
    Globals globals;
    std::vector<Globals> stack;
    bool usesReportIds = false;

    size_t at = 0;
    while (at < descriptor.size()) {
        const uint8_t prefix = descriptor[at];
        const size_t remaining = descriptor.size() - at - 1;
        if (prefix == kLongItemPrefix) {
            // Long item: data size and tag bytes, then the data; no defined long
            // item affects report lengths.
            if (remaining < 2 || remaining - 2 < descriptor[at + 1]) {
                return std::nullopt;
            }
            at += 3 + descriptor[at + 1];
            continue;
        }
        const size_t size = (prefix & 0x3) == 3 ? 4 : (prefix & 0x3);
        if (remaining < size) {
            return std::nullopt;
        }
        const uint32_t data = littleEndian(&descriptor[at + 1], size);
        const uint8_t type = (prefix >> 2) & 0x3;
        const uint8_t tag = prefix >> 4;
        at += 1 + size;

        if (type == Main && (tag == Input || tag == Output || tag == Feature)) {
            ReportBits& report = reports[tag == Input ? 0 : tag == Output ? 1 : 2];
            const uint64_t itemBits = uint64_t{globals.reportSize} * globals.reportCount;
            uint64_t& total = report.bits[globals.reportId];
            if (itemBits > kMaxReportBits || total + itemBits > kMaxReportBits) {
                return std::nullopt;
            }
            total += itemBits;
            report.present = true;
        } else if (type == Global) {
            switch (tag) {
                case ReportSize:
                    globals.reportSize = data;
                    break;
                case ReportCount:
                    globals.reportCount = data;
                    break;
                case ReportId:
                    if (data == 0 || data >= kReportIds) {
                        return std::nullopt;
                    }
                    globals.reportId = data;
                    usesReportIds = true;
                    break;
                case Push:
                    stack.push_back(globals);
                    break;
                case Pop:
                    if (stack.empty()) {
                        return std::nullopt;
                    }
                    globals = stack.back();
                    stack.pop_back();
                    break;
                default:
                    break;
            }
        }
    }

    ReportDescriptorSummary summary;
    summary.lengths = {reports[0].byteLength(), reports[1].byteLength(), reports[2].byteLength()};
    summary.usesReportIds = usesReportIds;
    return summary;
}

}  // namespace korvid::platform
