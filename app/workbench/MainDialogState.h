// What the main dialog shows, as one value derived from the workbench's state:
// every text in the display language, every list with its selection, and every
// enable rule. A front end renders it and holds no state of its own beside it.
#pragma once

#include "display_language.h"

#include <array>
#include <string>
#include <vector>

namespace korvid::workbench {

inline constexpr int kOptionBoxCount = 12;  // boxes 1010 to 1021
inline constexpr int kAreaCount = 5;        // radios 1032 to 1036
// The most digits the size field shows (an image of at most 64 KiB) and the
// checksum field's (16 bits).
inline constexpr int kSizeDigits = 5;
inline constexpr int kChecksumDigits = 4;

struct ListState {
    std::vector<std::string> items;
    int selected = -1;  // -1: nothing selected
    bool enabled = true;
    std::string tip;
    bool operator==(const ListState&) const = default;
};

struct OptionBoxState {
    bool shown = false;  // an unused box keeps its place but shows nothing
    bool enabled = false;
    bool checked = false;
    std::string text;  // the option's description in Chinese, its name in English
    std::string tip;   // in English the description
    std::string accessibleName;  // the option's name, "Option k" for an unused box
    bool operator==(const OptionBoxState&) const = default;
};

struct FieldState {
    std::string text;
    bool enabled = true;
    bool operator==(const FieldState&) const = default;
};

// The fixed texts of the window in the display language.
struct MainDialogTexts {
    std::string programmerType, mcuPartNo, programmingArea, hwOptionsSetting;
    std::string ispMemory, iapMemory, setLabel, binaryCodeBuffer;
    std::string load, saveKpj, exit, updateTarget, updateProgrammer, dumpTargetInfo;
    std::string writeProtect, autoReloadCode;
    // The prefixes of the size and checksum fields, which a front end needs for
    // their widths: the prefix and kSizeDigits or kChecksumDigits digits.
    std::string sizePrefix, checksumPrefix;
    bool operator==(const MainDialogTexts&) const = default;
};

struct MainDialogState {
    Language language = Language::Chinese;
    std::string caption;
    MainDialogTexts texts;

    int programmerRadio = 0;  // 0 ISP (1004), 1 ICP (1005)
    bool ispEnabled = true;
    bool icpEnabled = true;
    ListState series;     // 1001
    ListState part;       // 1002
    int areaRadio = 0;    // 1032 + areaRadio
    bool areasEnabled = false;
    std::array<OptionBoxState, kOptionBoxCount> options;
    ListState ispMemory;  // 1024
    ListState iapMemory;  // 1050
    FieldState hwwidl;    // 1025
    FieldState hwps;      // 1026

    std::string source;    // 1038
    std::string size;      // 1039
    std::string checksum;  // 1040

    bool loadEnabled = true;
    bool saveKpjEnabled = false;
    bool updateTargetEnabled = false;
    bool updateProgrammerEnabled = false;
    bool dumpEnabled = true;
    bool writeProtect = false;  // 1070; the hex editor refuses edits
    bool autoReload = false;    // 1068

    bool operator==(const MainDialogState&) const = default;
};

}  // namespace korvid::workbench
