// MainWindow: the model's state shown in the template's controls.
#include "MainWindow.h"

#include "TextTable.h"
#include "dialog_controls.h"
#include "resource_ids.h"

namespace korvid::win32 {

using workbench::MainDialogState;

void MainWindow::Render(const MainDialogState& state) {
    rendering_ = true;
    ShowText(dialog_, state.caption);
    RenderTexts(state.texts);
    RenderPartPanel(state);

    ShowControlText(dialog_, IDC_STATUS_SOURCE, state.source);
    ShowControlText(dialog_, IDC_STATUS_SIZE, state.size);
    ShowControlText(dialog_, IDC_STATUS_CHECKSUM, state.checksum);

    ShowEnabled(dialog_, IDC_LOAD, state.loadEnabled);
    ShowEnabled(dialog_, IDC_SAVE_KPJ, state.saveKpjEnabled);
    ShowEnabled(dialog_, IDC_UPDATE_TARGET, state.updateTargetEnabled);
    ShowEnabled(dialog_, IDC_UPDATE_PROGRAMMER, state.updateProgrammerEnabled);
    ShowEnabled(dialog_, IDC_DUMP, state.dumpEnabled);
    ShowChecked(dialog_, IDC_WRITE_PROTECT, state.writeProtect);
    ShowChecked(dialog_, IDC_AUTO_RELOAD, state.autoReload);
    rendering_ = false;
}

void MainWindow::RenderTexts(const workbench::MainDialogTexts& t) {
    ShowControlText(dialog_, IDC_PROGRAMMER_GROUP, t.programmerType);
    ShowControlText(dialog_, IDC_PART_GROUP, t.mcuPartNo);
    ShowControlText(dialog_, IDC_AREA_GROUP, t.programmingArea);
    ShowControlText(dialog_, IDC_HW_GROUP, t.hwOptionsSetting);
    ShowControlText(dialog_, IDC_ISP_MEMORY_GROUP, t.ispMemory);
    ShowControlText(dialog_, IDC_IAP_MEMORY_GROUP, t.iapMemory);
    ShowControlText(dialog_, IDC_ISP_MEMORY_LABEL, t.setLabel);
    ShowControlText(dialog_, IDC_IAP_MEMORY_LABEL, t.setLabel);
    ShowControlText(dialog_, IDC_HWWIDL_LABEL, workbench::PlainText::hwwidlLabel);
    ShowControlText(dialog_, IDC_HWPS_LABEL, workbench::PlainText::hwpsLabel);
    ShowControlText(dialog_, IDC_CODE_GROUP, t.binaryCodeBuffer);
    ShowControlText(dialog_, IDC_LOAD, t.load);
    ShowControlText(dialog_, IDC_SAVE_KPJ, t.saveKpj);
    ShowControlText(dialog_, IDCANCEL, t.exit);
    ShowControlText(dialog_, IDC_UPDATE_TARGET, t.updateTarget);
    ShowControlText(dialog_, IDC_UPDATE_PROGRAMMER, t.updateProgrammer);
    ShowControlText(dialog_, IDC_DUMP, t.dumpTargetInfo);
    ShowControlText(dialog_, IDC_WRITE_PROTECT, t.writeProtect);
    ShowControlText(dialog_, IDC_AUTO_RELOAD, t.autoReloadCode);
}

void MainWindow::RenderPartPanel(const MainDialogState& state) {
    ShowChecked(dialog_, IDC_ISP, state.programmerRadio == 0);
    ShowChecked(dialog_, IDC_ICP, state.programmerRadio == 1);
    ShowEnabled(dialog_, IDC_ISP, state.ispEnabled);
    ShowEnabled(dialog_, IDC_ICP, state.icpEnabled);

    ShowListItems(dialog_, IDC_SERIES, state.series.items, state.series.selected);
    ShowEnabled(dialog_, IDC_SERIES, state.series.enabled);
    ShowListItems(dialog_, IDC_PART, state.part.items, state.part.selected);
    ShowEnabled(dialog_, IDC_PART, state.part.enabled);

    for (int area = 0; area < workbench::kAreaCount; ++area) {
        ShowChecked(dialog_, IDC_AREA_FIRST + area, state.areaRadio == area);
        ShowEnabled(dialog_, IDC_AREA_FIRST + area, state.areasEnabled);
    }

    for (int k = 0; k < workbench::kOptionBoxCount; ++k) {
        const workbench::OptionBoxState& box = state.options[k];
        const int id = IDC_OPTION_FIRST + k;
        ShowControlText(dialog_, id, box.text);
        ShowChecked(dialog_, id, box.checked);
        ShowEnabled(dialog_, id, box.enabled);
        // An unused box keeps its place but shows nothing.
        ShowVisible(dialog_, id, box.shown);
        tips_->SetTip(id, box.shown ? box.tip : std::string());
    }

    ShowListItems(dialog_, IDC_ISP_MEMORY, state.ispMemory.items, state.ispMemory.selected);
    ShowEnabled(dialog_, IDC_ISP_MEMORY, state.ispMemory.enabled);
    tips_->SetTip(IDC_ISP_MEMORY, state.ispMemory.tip);
    ShowListItems(dialog_, IDC_IAP_MEMORY, state.iapMemory.items, state.iapMemory.selected);
    ShowEnabled(dialog_, IDC_IAP_MEMORY, state.iapMemory.enabled);
    tips_->SetTip(IDC_IAP_MEMORY, state.iapMemory.tip);

    ShowEditText(dialog_, IDC_HWWIDL, state.hwwidl.text);
    ShowEnabled(dialog_, IDC_HWWIDL, state.hwwidl.enabled);
    ShowEditText(dialog_, IDC_HWPS, state.hwps.text);
    ShowEnabled(dialog_, IDC_HWPS, state.hwps.enabled);
}

}  // namespace korvid::win32
