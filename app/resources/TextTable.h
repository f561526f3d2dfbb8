// Every text of the workbench as a pair: the English text and the Chinese text.
// Both members are stored as UTF-8 (this file is UTF-8). The program shows the
// member of its display language (Chinese unless English is chosen); the English
// members are also the accessible names.
#pragma once

#include "messages.h"

namespace korvid::workbench {

using core::TextPair;

namespace TextTable {

// The messages of loading and of the programming commands, shared with the
// command-line tool.
using namespace core::Messages;

// Main dialog: groups, labels, buttons and check boxes.
inline constexpr TextPair programmerType{"Programmer Type", "编程器接口"};
inline constexpr TextPair mcuPartNo{"MCU Part No.", "单片机型号"};
inline constexpr TextPair programmingArea{"Programming Area", "编程区域"};
inline constexpr TextPair hwOptionsSetting{"H/W Options Setting", "硬件选项设置"};
inline constexpr TextPair ispMemory{"ISP-memory", "ISP存储区域"};
inline constexpr TextPair iapMemory{"IAP-memory", "IAP存储区域"};
inline constexpr TextPair setLabel{"Set :", "设置 :"};
inline constexpr TextPair binaryCodeBuffer{"Binary Code Buffer", "代码缓冲区"};
inline constexpr TextPair load{"Load", "打开文件"};
inline constexpr TextPair saveKpj{"Save *.KPJ", "保存项目文件"};
inline constexpr TextPair exit{"Exit", "退出"};
inline constexpr TextPair updateTarget{"Update Target", "更新目标芯片"};
inline constexpr TextPair updateProgrammer{"Update Programmer", "设置脱机模式"};
inline constexpr TextPair dumpTargetInfo{"Dump Target Info", "读取信息区"};
inline constexpr TextPair writeProtect{"Write Protect", "写入保护"};
inline constexpr TextPair autoReloadCode{"Auto Reload Code", "自动重新载入数据"};

// Status field prefixes.
inline constexpr TextPair sizePrefix{"Size:0x", "大小:0x"};
inline constexpr TextPair checksumPrefix{"Checksum:0x", "校验和:0x"};
inline constexpr TextPair codeNamePrefix{" (Code Name: \"", " (代码名称: \""};
// After the source: the image was edited in the hex editor since it was loaded.
inline constexpr TextPair editedMarker{" *", " *"};

// The message shown while the programmer is re-flashed.
inline constexpr TextPair firmwareUpdating{
    "Unmatched firmware version, Update in processing ...\n\nDo not plug out the programmer.",
    "更新硬件程序中...\n\n请勿拔出编程器."};
// On the re-flash bar once the data is sent, while the programmer restarts.
inline constexpr TextPair programmerRestarting{"Programmer restarting ...", "编程器重启中..."};

// Max count and serial number dialog ("Auto Increment Numbe" and "Start Addressr"
// are stored exactly so).
inline constexpr TextPair setMaxCountTitle{"Set Max Count & Serial Number",
                                           "设置最大计数值和滚动码"};
inline constexpr TextPair maxCountLabel{"Max Count : ", "最大计数值 : "};
inline constexpr TextPair enableSerialNumber{"Enable Serial Number", "支持滚动码"};
inline constexpr TextPair serialString{"String", "字符"};
inline constexpr TextPair serialNumberLabel{"Number", "启始码"};
inline constexpr TextPair autoIncrementNumber{"Auto Increment Numbe", "自动上数"};
inline constexpr TextPair startAddress{"Start Addressr", "启始位置"};
inline constexpr TextPair endAddress{"End Address", "结束位置"};
inline constexpr TextPair ok{"Ok", "确定"};
inline constexpr TextPair maxCountExit{"Exit", "取消"};
// The max count field holds no whole number when "Ok" reads it.
inline constexpr TextPair enterInteger{"Please enter an integer.", "请输入一个整数。"};

// About box: its OK button.
inline constexpr TextPair aboutOk{"OK", "確定"};

// Area dialog.
inline constexpr TextPair selectArea{"Select AP/IAP area", "选择AP/IAP区域"};
inline constexpr TextPair apCode{"AP (Code)", "AP(程序)"};
inline constexpr TextPair iapData{"IAP (Data)", "IAP(数据)"};
inline constexpr TextPair addressPrefix{"Address : 0x", "位址 : 0x"};

}  // namespace TextTable

// Texts that are not pairs: used as they stand.
namespace PlainText {
inline constexpr const char* aboutItem = "About(&A)...";  // string 101
inline constexpr const char* aboutCaption = "About";
// The two display languages in the window's menu, each named in itself.
inline constexpr const char* chineseLanguage = "中文";
inline constexpr const char* englishLanguage = "English";
inline constexpr const char* hwwidlLabel = "HWWIDL (0 or 1) : ";
inline constexpr const char* hwpsLabel = "HWPS (0 - 7) : ";
// File-dialog filters: each is its description with the patterns in parentheses,
// which the dialog both shows and matches (in any case); filters are separated by ";;".
inline constexpr const char* openFilter =
    "Intel Hex/Binary (*.hex *.ihx *.bin);;Vostrel project file (*.kpj);;All files (*)";
inline constexpr const char* saveFilter = "Vostrel project file (*.kpj)";
inline constexpr const char* kpjExtension = "kpj";
}  // namespace PlainText

}  // namespace korvid::workbench
