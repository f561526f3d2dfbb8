// The contents of the catalogue: option texts, option sets and the two tables.
// Descriptions are cp936 bytes; the text each escape stands for is beside it.
#include <initializer_list>

#include "catalogue/catalogue.h"

namespace korvid::catalogue {
namespace {

// Each option text is the name, a NUL, then the description.
constexpr char kFzwdtcr[] =
    "FZWDTCR\0"
    "\xBD\xF6\xC9\xCF\xB5\xE7\xD6\xD8\xD6\xC3\xBF\xB4\xC3\xC5\xB9\xB7";  // 仅上电重置看门狗
constexpr char kAuxRam[] =
    "AUX_RAM\0"
    "\xBD\xFB\xD3\xC3\xC4\xDA\xB2\xBF\xC0\xA9\xD5\xB9"  // 禁用内部扩展
    "RAM";
constexpr char kOscdn[] =
    "OSCDN\0"
    "\xBD\xB5\xB5\xCD\xD5\xF1\xB5\xB4\xD4\xF6\xD2\xE6";  // 降低振荡增益
constexpr char kKeepIapData[] =
    "KEEP IAP-DATA\0"
    "\xB1\xA3\xC1\xF4"  // 保留
    " IAP-"
    "\xD7\xCA\xC1\xCF";  // 资料
constexpr char kEn6t[] =
    "EN6T\0"
    "\xCB\xAB\xB1\xB6\xCB\xD9"  // 双倍速
    "(6T"
    "\xC4\xA3\xCA\xBD"  // 模式
    ")";
constexpr char kEnlvrc[] =
    "ENLVRC\0"
    "Vdd"
    "\xD0\xA1\xD3\xDA"  // 小于
    "2.5V"
    "\xB8\xB4\xCE\xBB";  // 复位
constexpr char kEnlvro[] =
    "ENLVRO\0"
    "Vdd"
    "\xD0\xA1\xD3\xDA"  // 小于
    "3.7V"
    "\xB8\xB4\xCE\xBB";  // 复位
constexpr char kEnrosc[] =
    "ENROSC\0"
    "\xCA\xB9\xD3\xC3\xC4\xDA\xB2\xBF\xD5\xF1\xB5\xB4"  // 使用内部振荡
    "(6MHz)";
constexpr char kHwenw[] =
    "HWENW\0"
    "\xC9\xCF\xB5\xE7\xC6\xF4\xB6\xAF\xBF\xB4\xC3\xC5\xB9\xB7";  // 上电启动看门狗

// "Vostrel 8051 ISP(R5) 编程器"
constexpr char kDisplayName[] =
    "Vostrel 8051 ISP(R5) "
    "\xB1\xE0\xB3\xCC\xC6\xF7";  // 编程器
static_assert(sizeof kDisplayName == 28);

using OptionSet = std::initializer_list<OptionBit>;

// ISP options all live in the single option byte (byte index 0).
constexpr OptionSet kSet1 = {{0, 0x80, kFzwdtcr},
                             {0, 0x20, kAuxRam},
                             {0, 0x10, kOscdn},
                             {0, 0x02, kKeepIapData},
                             {0, 0x01, kEn6t}};
constexpr OptionSet kSet2 = {
    {0, 0x80, kFzwdtcr}, {0, 0x20, kAuxRam}, {0, 0x10, kOscdn}, {0, 0x01, kEn6t}};
constexpr OptionSet kSet3 = {{0, 0x80, kEnlvrc},
                             {0, 0x20, kEnlvro},
                             {0, 0x10, kOscdn},
                             {0, 0x02, kEnrosc},
                             {0, 0x01, kHwenw}};
constexpr OptionSet kSet4 = {{0, 0x20, kEnrosc}, {0, 0x02, kKeepIapData}};
constexpr OptionSet kSet5 = {{0, 0x02, kKeepIapData}};
constexpr OptionSet kNone = {};

enum Series { kSeriesA, kSeriesB, kSeriesC, kSeriesD, kSeriesE, kSeriesF, kSeriesG };

constexpr PartEntry ispPart(const char* name, Series series, uint32_t deviceCode,
                            uint32_t flashSize, uint32_t iapStart, OptionSet options) {
    PartEntry entry{};
    entry.name = name;
    entry.seriesMask = 1u << series;
    entry.deviceCode = deviceCode;
    entry.flashSize = flashSize;
    entry.iapStart = iapStart;
    entry.ispMemoryList = "0";
    for (const OptionBit& option : options) {
        entry.options[entry.optionCount++] = option;
    }
    return entry;
}

constexpr PartEntry sentinel() {
    PartEntry entry{};
    entry.name = kSentinelName.data();
    return entry;
}

constexpr PartEntry kIspTable[] = {
    ispPart("Part A1", kSeriesA, 0x00, 0x3800, 0x1000, kSet1),
    ispPart("Part A2", kSeriesA, 0x01, 0x3800, 0x2000, kSet1),
    ispPart("Part A3", kSeriesA, 0x02, 0x3800, 0x0000, kSet2),
    ispPart("Part A4", kSeriesA, 0x03, 0xF800, 0x4000, kSet1),
    ispPart("Part A5", kSeriesA, 0x04, 0xF800, 0x8000, kSet1),
    ispPart("Part A6", kSeriesA, 0x05, 0xF800, 0x0000, kSet2),
    ispPart("Part B1", kSeriesB, 0x06, 0x1C00, 0x1800, kSet5),
    ispPart("Part B2", kSeriesB, 0x07, 0x3800, 0x3400, kSet5),
    ispPart("Part B3", kSeriesB, 0x08, 0xFC00, 0xF000, kSet5),
    ispPart("Part D1", kSeriesD, 0x09, 0x3800, 0x3400, kNone),
    ispPart("Part C1", kSeriesC, 0x0B, 0x1C00, 0x1000, kSet5),
    ispPart("Part C2", kSeriesC, 0x0C, 0x1C00, 0x1800, kSet5),
    ispPart("Part C3", kSeriesC, 0x0D, 0x1C00, 0x0800, kSet5),
    ispPart("Part C4", kSeriesC, 0x0E, 0x1C00, 0x1000, kSet5),
    ispPart("Part C5", kSeriesC, 0x0F, 0x1C00, 0x1800, kSet5),
    ispPart("Part B4", kSeriesB, 0x10, 0xF800, 0xE800, kSet3),
    ispPart("Part B5", kSeriesB, 0x11, 0xF800, 0xE800, kSet3),
    ispPart("Part B6", kSeriesB, 0x12, 0xF800, 0xE800, kSet3),
    ispPart("Part C6", kSeriesC, 0x13, 0x1800, 0x1000, kSet5),
    ispPart("Part F1", kSeriesF, 0x16, 0x1800, 0x1400, kSet4),
    ispPart("Part F2", kSeriesF, 0x1C, 0x3400, 0x0000, kSet4),
    ispPart("Part F3", kSeriesF, 0x1E, 0x1C00, 0x1800, kNone),
    ispPart("Part F4", kSeriesF, 0x20, 0x3800, 0x3400, kNone),
    ispPart("Part F5", kSeriesF, 0x17, 0x3A00, 0x3600, kSet5),
    ispPart("Part F6", kSeriesF, 0x2A, 0x3A00, 0x3600, kSet5),
    ispPart("Part F7", kSeriesF, 0x1D, 0x3A00, 0x3600, kSet5),
    ispPart("Part F8", kSeriesF, 0x1A, 0x6A00, 0x6000, kSet5),
    ispPart("Part F9", kSeriesF, 0x1B, 0x8A00, 0x8000, kSet5),
    ispPart("Part F10", kSeriesF, 0x22, 0xFA00, 0xF000, kSet5),
    ispPart("Part B7", kSeriesB, 0x23, 0xFA00, 0xE800, kSet5),
    ispPart("Part E1", kSeriesE, 0x24, 0x0C00, 0x0800, kSet5),
    ispPart("Part B8", kSeriesB, 0x25, 0xFA00, 0x8000, kSet5),
    ispPart("Part B9", kSeriesB, 0x26, 0xFA00, 0xF000, kSet5),
    ispPart("Part B10", kSeriesB, 0x27, 0xFA00, 0x8000, kSet5),
    ispPart("Part E2", kSeriesE, 0x28, 0x1C00, 0x1800, kSet5),
    ispPart("Part B11", kSeriesB, 0x30, 0xFA00, 0x8000, kSet5),
    ispPart("Part B12", kSeriesB, 0x29, 0xFA00, 0xF000, kSet5),
    ispPart("Part B13", kSeriesB, 0x34, 0x1A00, 0x1600, kSet5),
    ispPart("Part B14", kSeriesB, 0x31, 0x3A00, 0x3600, kSet5),
    ispPart("Part B15", kSeriesB, 0x35, 0x5A00, 0x5600, kSet5),
    ispPart("Part B16", kSeriesB, 0x32, 0x7A00, 0x7600, kSet5),
    ispPart("Part G1", kSeriesG, 0x33, 0x0C00, 0x0800, kSet5),
    ispPart("Part B17", kSeriesB, 0x34, 0x7A00, 0x7600, kSet5),
    ispPart("Part B18", kSeriesB, 0x35, 0xFA00, 0xF000, kSet5),
    sentinel(),
};

static_assert(countEntries(kIspTable) == kIspPartCount);

// No ICP part ships: the table is its sentinel alone.
constexpr PartEntry kIcpTable[] = {sentinel()};

constexpr Catalogue kBuiltIn(kIspTable, kIcpTable);

}  // namespace

const Catalogue& builtInCatalogue() {
    return kBuiltIn;
}

std::span<const char> displayName() {
    return kDisplayName;
}

}  // namespace korvid::catalogue
