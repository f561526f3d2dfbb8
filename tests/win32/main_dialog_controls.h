// Every control of the main dialog's template with its window class and the text
// it shows in Chinese right after the start (Part A1 selected, nothing loaded):
// what a user, or a tool that reads the window, finds at each control id.
#pragma once

#include "TextTable.h"
#include "resource_ids.h"

#include <windows.h>

#include <string>
#include <vector>

namespace korvid::win32::ui_test {

struct ExpectedControl {
    int id;
    const char* windowClass;
    std::string text;
};

inline std::vector<ExpectedControl> MainDialogControlsAtStart() {
    namespace text = workbench::TextTable;
    const auto chinese = [](const core::TextPair& pair) { return std::string(pair.chinese); };
    return {
        {IDC_PROGRAMMER_GROUP, "Button", chinese(text::programmerType)},
        {IDC_ISP, "Button", "ISP"},
        {IDC_ICP, "Button", "ICP"},
        {IDC_PART_GROUP, "Button", chinese(text::mcuPartNo)},
        {IDC_SERIES, "ComboBox", "Series A"},
        {IDC_PART, "ComboBox", "Part A1"},
        {IDC_AREA_GROUP, "Button", chinese(text::programmingArea)},
        {1032, "Button", "AP"},
        {1033, "Button", "IAP"},
        {1034, "Button", "ISP"},
        {1035, "Button", "AP+IAP"},
        {1036, "Button", "Whole-chip"},
        {IDC_HW_GROUP, "Button", chinese(text::hwOptionsSetting)},
        {1010, "Button", "仅上电重置看门狗"},
        {1011, "Button", "禁用内部扩展RAM"},
        {1012, "Button", "降低振荡增益"},
        {1013, "Button", "保留 IAP-资料"},
        {1014, "Button", "双倍速(6T模式)"},
        {1015, "Button", ""},
        {1016, "Button", ""},
        {1017, "Button", ""},
        {1018, "Button", ""},
        {1019, "Button", ""},
        {1020, "Button", ""},
        {1021, "Button", ""},
        {IDC_ISP_MEMORY_GROUP, "Button", chinese(text::ispMemory)},
        {IDC_IAP_MEMORY_GROUP, "Button", chinese(text::iapMemory)},
        {IDC_ISP_MEMORY_LABEL, "Static", chinese(text::setLabel)},
        {IDC_IAP_MEMORY_LABEL, "Static", chinese(text::setLabel)},
        {IDC_ISP_MEMORY, "ComboBox", "NA"},
        {IDC_IAP_MEMORY, "ComboBox", "0.0 k"},
        {IDC_HWWIDL_LABEL, "Static", "HWWIDL (0 or 1) : "},
        {IDC_HWPS_LABEL, "Static", "HWPS (0 - 7) : "},
        {IDC_HWWIDL, "Edit", "1"},
        {IDC_HWPS, "Edit", "7"},
        {IDC_CODE_GROUP, "Button", chinese(text::binaryCodeBuffer)},
        {IDC_HEX_EDIT, "CHexEditBase", ""},
        {IDC_STATUS_SOURCE, "Edit", ""},
        {IDC_STATUS_SIZE, "Edit", ""},
        {IDC_STATUS_CHECKSUM, "Edit", ""},
        {IDC_LOAD, "Button", chinese(text::load)},
        {IDC_SAVE_KPJ, "Button", chinese(text::saveKpj)},
        {IDCANCEL, "Button", chinese(text::exit)},
        {IDC_UPDATE_TARGET, "Button", chinese(text::updateTarget)},
        {IDC_UPDATE_PROGRAMMER, "Button", chinese(text::updateProgrammer)},
        {IDC_DUMP, "Button", chinese(text::dumpTargetInfo)},
        {IDC_WRITE_PROTECT, "Button", chinese(text::writeProtect)},
        {IDC_AUTO_RELOAD, "Button", chinese(text::autoReloadCode)},
    };
}

}  // namespace korvid::win32::ui_test
