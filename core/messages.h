// The messages of loading code and project files and of the programming commands,
// as text pairs: the English text and the simplified-Chinese text that the dialog
// program shows. The command-line tool prints the English members.
#pragma once

#include "text_pair.h"

namespace korvid::core::Messages {

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
// A damaged Intel HEX file, refused whole: {path}, {line} and {problem} (one of the
// intelHex* problem texts below) are filled in by IntelHexErrorMessage.
inline constexpr TextPair intelHexRefused{
    "Bad Intel HEX file \"{path}\",\nline {line}: {problem}. Nothing was loaded !",
    "Intel HEX 文件 \"{path}\" 有误,\n第 {line} 行: {problem}。未载入任何数据 !"};
inline constexpr TextPair intelHexNotHexDigit{"a character that is not a hexadecimal digit",
                                              "含有非十六进制字符"};
inline constexpr TextPair intelHexOddDigitCount{"an odd number of hexadecimal digits",
                                                "十六进制数字个数为奇数"};
inline constexpr TextPair intelHexLengthMismatch{"the length byte does not match the record",
                                                 "长度字节与记录不符"};
inline constexpr TextPair intelHexBadChecksum{"checksum error", "校验和错误"};
inline constexpr TextPair intelHexUnknownRecordType{"unknown record type", "未知的记录类型"};
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
// user may not open it (Linux: the device node's access).
inline constexpr TextPair programmerNotAccessible{
    "A programmer is attached, but this user may not open its device node: install the "
    "udev rules file 60-korvid.rules and plug the programmer in again.",
    "编程器已连接，但当前用户无权访问其设备节点：请安装 60-korvid.rules "
    "规则文件，然后重新插入编程器。"};
// The same on Windows: access refused, or no usable driver for the programmer.
inline constexpr TextPair programmerRefusedByWindows{
    "A programmer is attached, but Windows refused this user access to it: check that no "
    "other program holds the programmer open.",
    "编程器已连接，但 Windows 拒绝当前用户访问：请确认没有其他程序占用编程器。"};
inline constexpr TextPair programmerWithoutDriver{
    "A programmer is attached, but Windows has no usable driver for it: the older programmer "
    "needs the still-image USB driver (usbscan.sys) bound to USB\\VID_4C7B&PID_030D.",
    "编程器已连接，但 Windows 没有可用的驱动程序：旧型号编程器需要将静止图像 USB 驱动程序 "
    "(usbscan.sys) 绑定到 USB\\VID_4C7B&PID_030D。"};

// The Max Count rule, checked by the dialog and by the tool.
inline constexpr TextPair maxValueIs65530{"Max vaule is 65530 for \"MaxCount\"",
                                          "\"最大计数值\" 最大值为 65530 !"};

}  // namespace korvid::core::Messages
