// MainDialog: what the window shows, derived from the state in one place: texts
// in the display language, the lists with their selections, and which control is
// enabled when.
#include "MainDialog.h"

#include "TextTable.h"
#include "code_image.h"
#include "cp936_text.h"
#include "hex_digit.h"
#include "hex_text.h"
#include "memory_choices.h"
#include "series_names.h"

#include <string>

namespace korvid::workbench {
namespace {

MainDialogTexts TextsIn(Language language) {
    const auto shown = [language](const core::TextPair& pair) { return PairText(pair, language); };
    MainDialogTexts t;
    t.programmerType = shown(TextTable::programmerType);
    t.mcuPartNo = shown(TextTable::mcuPartNo);
    t.programmingArea = shown(TextTable::programmingArea);
    t.hwOptionsSetting = shown(TextTable::hwOptionsSetting);
    t.ispMemory = shown(TextTable::ispMemory);
    t.iapMemory = shown(TextTable::iapMemory);
    t.setLabel = shown(TextTable::setLabel);
    t.binaryCodeBuffer = shown(TextTable::binaryCodeBuffer);
    t.load = shown(TextTable::load);
    t.saveKpj = shown(TextTable::saveKpj);
    t.exit = shown(TextTable::exit);
    t.updateTarget = shown(TextTable::updateTarget);
    t.updateProgrammer = shown(TextTable::updateProgrammer);
    t.dumpTargetInfo = shown(TextTable::dumpTargetInfo);
    t.writeProtect = shown(TextTable::writeProtect);
    t.autoReloadCode = shown(TextTable::autoReloadCode);
    t.sizePrefix = shown(TextTable::sizePrefix);
    t.checksumPrefix = shown(TextTable::checksumPrefix);
    return t;
}

}  // namespace

MainDialogState MainDialog::State() const {
    MainDialogState s;
    s.language = language_;
    s.caption = VersionCaption();
    s.texts = TextsIn(language_);

    s.programmerRadio = programmerRadio_;
    s.ispEnabled = !catalogue_.isp.empty();
    s.icpEnabled = !catalogue_.icp.empty();
    for (const int bit : SeriesBits()) {
        s.series.items.emplace_back(core::kSeriesNames[bit]);
    }
    s.series.selected = seriesItem_;
    const std::span<const PartInfo> active = ActiveCatalogue();
    for (const int entry : PartEntries()) {
        s.part.items.emplace_back(active[entry].name);
    }
    s.part.selected = partItem_;
    s.areaRadio = areaRadio_;
    s.areasEnabled = false;  // the area follows the part and the project

    const PartInfo* part = CurrentPart();
    for (int k = 0; k < kOptionBoxCount; ++k) {
        OptionBoxState& box = s.options[k];
        if (part == nullptr || static_cast<uint32_t>(k) >= part->optionCount) {
            box.accessibleName = "Option " + std::to_string(k);
            continue;
        }
        // The library describes its options in Chinese only: in English the box
        // shows the option's name and keeps the description as its tip.
        const std::string description = core::Cp936ToUtf8(part->options[k].description);
        const bool english = language_ == Language::English;
        box.shown = true;
        box.enabled = true;
        box.checked = ((job_.optionStates[0] >> k) & 1) != 0;
        box.text = english ? part->options[k].name : description;
        box.tip = english ? description : std::string();
        box.accessibleName = part->options[k].name;
    }

    if (part != nullptr) {
        for (const uint32_t size : IspSizes()) {
            s.ispMemory.items.push_back(IspMemoryItemText(size));
        }
        for (uint32_t n = 0; n < IapItemCount(); ++n) {
            s.iapMemory.items.push_back(IapMemoryItemText(n));
        }
        s.ispMemory.tip = IspMemoryTip(part->flashSize, SelectedIspSize());
        s.iapMemory.tip = IapMemoryTip(part->flashSize, SelectedIspSize(),
                                       static_cast<uint32_t>(std::max(0, iapMemoryItem_)));
    }
    s.ispMemory.selected = ispMemoryItem_;
    s.ispMemory.enabled = part != nullptr && part->hasIspMemoryChoice != 0;
    s.iapMemory.selected = iapMemoryItem_;
    s.iapMemory.enabled = part != nullptr && part->hasIapMemoryChoice != 0;
    s.hwwidl = {hwwidlText_, HwFieldsEnabled()};
    s.hwps = {hwpsText_, HwFieldsEnabled()};

    const std::vector<uint8_t> image = CurrentImage();
    switch (sourceKind_) {
        case SourceKind::None:
            break;
        case SourceKind::File:
            s.source = sourcePath_;
            break;
        case SourceKind::Project:
            s.source = sourcePath_ + Shown(TextTable::codeNamePrefix) + sourceCodeName_ + "\")";
            break;
        case SourceKind::Dump:
            s.source = Shown(TextTable::dumpInformationOk);
            break;
    }
    if (image != loadedImage_) {
        s.source += Shown(TextTable::editedMarker);
    }
    if (imageStatusShown_) {
        s.size = Shown(TextTable::sizePrefix) + core::HexText(static_cast<uint32_t>(image.size()), 0);
        s.checksum = Shown(TextTable::checksumPrefix) +
                     core::HexText(core::ImageChecksum(image), kChecksumDigits);
    }

    s.loadEnabled = true;
    s.saveKpjEnabled = codeLoaded_;
    s.updateTargetEnabled = codeIsProgram_ && !updateRunning_;
    s.updateProgrammerEnabled = s.updateTargetEnabled;
    s.dumpEnabled = programmerRadio_ == 0 && !dumpRunning_;
    s.writeProtect = writeProtect_;
    s.autoReload = autoReload_;
    return s;
}

}  // namespace korvid::workbench
