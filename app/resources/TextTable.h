// Every text of the workbench as a pair: the English text and the simplified-Chinese
// text that the program shows. Both members are stored as UTF-8 (this file is UTF-8);
// the English members are kept for reference and as accessible names, never shown.
#pragma once

namespace korvid::workbench {

struct TextPair {
    const char* english;
    const char* chinese;  // the member that is shown
};

namespace TextTable {

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

// Loading messages.
inline constexpr TextPair insertAddressOverChipSize{"Insert address over chipsize !",
                                                    "插入位置超过 !"};
inline constexpr TextPair cantOpen{"Can't open \"", "不能打开 \""};
inline constexpr TextPair fileTooLarge{"File size is too large, file data will be truncated !",
                                       "文件太大，多余的文件数据将被截去 !"};
inline constexpr TextPair footerCheckError{"Footer check error !", "Vostrel脚本检测出错 !"};
inline constexpr TextPair unmatchedTool{"Unmatched tool, please tye the correct Vostrel tools !",
                                        "工具不匹配，请使用合适的工具 !"};
inline constexpr TextPair unmatchedApVersion{
    "Unmatched AP version, please consult with your local Vostrel agents !",
    "应用程序版本不匹配，请与Vostrel代理联系 !"};
inline constexpr TextPair wrongCodeSizes{"Wrong code sizes or checksum !",
                                         "错误的代码大小或者校验和错误 !"};
inline constexpr TextPair notKpjFile{"Not \"8051 ISP-ICP Programmer\" KPJ file !",
                                     "不是 \"8051 ISP-ICP编程器\" KPJ文件 !"};
inline constexpr TextPair mcuTypeError{"MCU type error !", "芯片型号不支持!"};
inline constexpr TextPair bodyError{"Body error !", "芯片型号不支持!"};

// Programming command messages.
inline constexpr TextPair updateSuccess{"Update success !", "更新成功 !"};
inline constexpr TextPair notFindDevice{"Not find device !", "找不到装置 !"};
inline constexpr TextPair deviceResetError{"Device reset error ! Update F/W fail !",
                                           "装置复位错误!更新程序失败!"};
inline constexpr TextPair updateProgrammerFwFail{"Update programmer F/W fail !", "更新程序失败!"};
inline constexpr TextPair resultChecksumError{"Result checksum error ! Update fail !",
                                              "校验和错误! 更新程序失败!"};
inline constexpr TextPair targetIsLock{"Target is lock ! Update fail !",
                                       "目标芯片已锁! 更新程序失败!"};
inline constexpr TextPair notFindResource{"Not find resource !", "找不到资源档 !"};
inline constexpr TextPair updateFail{"Update fail !", "更新失败"};
inline constexpr TextPair dumpInformationOk{"Dump Information ok !", "读取信息完成 !"};
inline constexpr TextPair dumpInformationFailed{"Dump Information failed !", "读取信息失败 !"};
inline constexpr TextPair cantCreateOrWrite{"Can't create or write \"", "无法建立或写入 \""};
inline constexpr TextPair saveKpjFail{"Save KPJ fail !", "写入KPJ失败 !"};
inline constexpr TextPair unmatchedFirmware{"Unmatched firmware version, Do you want to update ?",
                                            "固件版本不合，更新程序 ?"};
// A second line under "Not find device !" when a programmer is attached but this
// user may not open it.
inline constexpr TextPair programmerNotAccessible{
    "A programmer is attached, but this user may not open its device node: install the "
    "udev rules file 60-korvid.rules and plug the programmer in again.",
    "编程器已连接，但当前用户无权访问其设备节点：请安装 60-korvid.rules "
    "规则文件，然后重新插入编程器。"};
inline constexpr TextPair firmwareUpdating{
    "Unmatched firmware version, Update in processing ...\n\nDo not plug out the programmer.",
    "更新硬件程序中...\n\n请勿拔出编程器."};

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
inline constexpr TextPair maxValueIs65530{"Max vaule is 65530 for \"MaxCount\"",
                                          "\"最大计数值\" 最大值为 65530 !"};

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
inline constexpr const char* aboutOk = "確定";
inline constexpr const char* hwwidlLabel = "HWWIDL (0 or 1) : ";
inline constexpr const char* hwpsLabel = "HWPS (0 - 7) : ";
inline constexpr const char* openFilter =
    "Intel Hex/Binary (*.hex; *.bin) (*.hex *.bin);;Vostrel project file (*.kpj) (*.kpj);;"
    "All files (*.*) (*)";
inline constexpr const char* saveFilter = "Vostrel project file (*.kpj) (*.kpj)";
inline constexpr const char* kpjExtension = "kpj";
}  // namespace PlainText

}  // namespace korvid::workbench
