// The numbers of KORVID_Demo's resources and of the controls in its dialog
// templates, shared by the resource script, the dialog procedures and the tests
// that drive the dialogs by control id. Plain #defines: the resource compiler
// reads this file too.
#pragma once

// Dialog templates.
#define IDD_ABOUT 100
#define IDD_MAIN 102
#define IDD_AREA 129
#define IDD_MAX_COUNT 130
#define IDD_PROGRESS 132

// Icon, bitmaps, strings.
#define IDI_APPLICATION_ICON 128
#define IDB_BANNER 131
#define IDB_PROGRESS 134
#define IDS_ABOUT_ITEM 101

// The About item of the system menu.
#define IDM_ABOUT 16

// Main dialog (102).
#define IDC_PART_GROUP 1000
#define IDC_SERIES 1001
#define IDC_PART 1002
#define IDC_PROGRAMMER_GROUP 1003
#define IDC_ISP 1004
#define IDC_ICP 1005
#define IDC_HW_GROUP 1006
#define IDC_ISP_MEMORY_GROUP 1007
#define IDC_IAP_MEMORY_GROUP 1008
#define IDC_OPTION_FIRST 1010  // 1010 to 1021, one per option
#define IDC_OPTION_LAST 1021
#define IDC_AREA_GROUP 1022
#define IDC_CODE_GROUP 1023
#define IDC_ISP_MEMORY 1024
#define IDC_HWWIDL 1025
#define IDC_HWPS 1026
#define IDC_ISP_MEMORY_LABEL 1028
#define IDC_IAP_MEMORY_LABEL 1029
#define IDC_HWWIDL_LABEL 1030
#define IDC_HWPS_LABEL 1031
#define IDC_AREA_FIRST 1032  // 1032 AP, 1033 IAP, 1034 ISP, 1035 AP+IAP, 1036 Whole-chip
#define IDC_AREA_LAST 1036
#define IDC_HEX_EDIT 1037
#define IDC_STATUS_SOURCE 1038
#define IDC_STATUS_SIZE 1039
#define IDC_STATUS_CHECKSUM 1040
#define IDC_LOAD 1041
#define IDC_UPDATE_TARGET 1046
#define IDC_UPDATE_PROGRAMMER 1047
#define IDC_DUMP 1048
#define IDC_SAVE_KPJ 1049
#define IDC_IAP_MEMORY 1050
#define IDC_BANNER 1054
#define IDC_AUTO_RELOAD 1068
#define IDC_WRITE_PROTECT 1070
// "Exit" is the dialog's cancel button, id 2 (IDCANCEL).

// The items of the main dialog's context menu (the display language).
#define IDM_LANGUAGE_CHINESE 40001
#define IDM_LANGUAGE_ENGLISH 40002

// Area dialog (129).
#define IDC_CODE_AREA 1042
#define IDC_DATA_AREA 1043
#define IDC_ADDRESS 1044
#define IDC_ADDRESS_LABEL 1045

// Max Count dialog (130).
#define IDC_MAX_COUNT 1051
#define IDC_MAX_COUNT_LABEL 1052
#define IDC_ENABLE_SERIAL 1055
#define IDC_SERIAL_TEXT_LABEL 1056
#define IDC_SERIAL_TEXT 1057
#define IDC_AUTO_INCREMENT 1058
#define IDC_START_ADDRESS_LABEL 1059
#define IDC_END_ADDRESS_LABEL 1060
#define IDC_END_ADDRESS 1061
#define IDC_SERIAL_NUMBER 1064
#define IDC_START_ADDRESS 1065
#define IDC_SERIAL_NUMBER_LABEL 1067

// Progress dialog (132): the notice, and the bar of the firmware bytes sent with
// its text beneath.
#define IDC_NOTICE 1066
#define IDC_REFLASH_BAR 1071
#define IDC_REFLASH_BAR_TEXT 1072

// About dialog (100).
#define IDC_ABOUT_TEXT 1053
