// The controls of the main dialog, created and arranged as in its template (ids
// 1000 to 1070 in their object names, "id1046" and so on), with their accessible
// names, which are English in either display language.
#pragma once

#include "MainDialogState.h"

#include <array>

class CHexEditBase;
class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace korvid::qt {

using workbench::kAreaCount;
using workbench::kOptionBoxCount;

struct MainDialogControls {
    QLabel* banner;                                       // 1054
    QGroupBox* programmerGroup;                           // 1003
    QGroupBox* partGroup;                                 // 1000
    QGroupBox* areaGroup;                                 // 1022
    QGroupBox* hwGroup;                                   // 1006
    QGroupBox* ispMemoryGroup;                            // 1007
    QGroupBox* iapMemoryGroup;                            // 1008
    QLabel* ispMemoryLabel;                               // 1028
    QLabel* iapMemoryLabel;                               // 1029
    QGroupBox* codeGroup;                                 // 1023
    QRadioButton* ispRadio;                               // 1004
    QRadioButton* icpRadio;                               // 1005
    QComboBox* seriesList;                                // 1001
    QComboBox* partList;                                  // 1002
    std::array<QRadioButton*, kAreaCount> areaRadios;     // 1032 to 1036
    std::array<QCheckBox*, kOptionBoxCount> optionBoxes;  // 1010 to 1021
    QComboBox* ispMemoryList;                             // 1024
    QComboBox* iapMemoryList;                             // 1050
    QLineEdit* hwwidlEdit;                                // 1025
    QLineEdit* hwpsEdit;                                  // 1026
    CHexEditBase* hexEdit;                                // 1037
    QLineEdit* sourceStatus;                              // 1038
    QLineEdit* sizeStatus;                                // 1039
    QLineEdit* checksumStatus;                            // 1040
    QPushButton* load;                                    // 1041
    QPushButton* saveKpj;                                 // 1049
    QPushButton* exit;                                    // 2
    QPushButton* updateTarget;                            // 1046
    QPushButton* updateProgrammer;                        // 1047
    QPushButton* dumpTargetInfo;                          // 1048
    QCheckBox* writeProtect;                              // 1070
    QCheckBox* autoReload;                                // 1068
    QPushButton* about;                                   // the visible place of the About item
};

// Creates the controls as children of dialog and lays them out.
MainDialogControls BuildMainDialogControls(QDialog& dialog);

// Sets the fixed texts of the controls in the display language.
void ShowControlTexts(const MainDialogControls& controls, const workbench::MainDialogTexts& texts);

}  // namespace korvid::qt
