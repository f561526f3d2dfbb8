// MainDialog: the part selection and hardware-options panel. The lists hold
// positions: the series list the series' bit numbers, the part list catalogue
// positions; nothing is found again by the text a list shows.
#include "MainDialog.h"

#include "memory_choices.h"
#include "series_names.h"

#include <algorithm>
#include <cstring>

namespace korvid::workbench {
namespace {

constexpr const char* kHwenwOption = "HWENW";
constexpr const char* kHwwidlDefault = "1";
constexpr const char* kHwpsDefault = "7";

bool IsListed(int item, std::size_t count) {
    return item >= 0 && static_cast<std::size_t>(item) < count;
}

}  // namespace

uint32_t Catalogue::SeriesMask(std::span<const PartInfo> parts) {
    uint32_t mask = 0;
    for (const PartInfo& part : parts) {
        mask |= part.seriesMask;
    }
    return mask;
}

std::span<const PartInfo> MainDialog::ActiveCatalogue() const {
    return catalogue_.Of(programmerRadio_ == 1);
}

const PartInfo* MainDialog::CurrentPart() const {
    const std::span<const PartInfo> active = catalogue_.Of(partIcpMode_ == 1);
    return IsListed(job_.partIndex, active.size()) ? &active[job_.partIndex] : nullptr;
}

std::vector<int> MainDialog::SeriesBits() const {
    const uint32_t mask = Catalogue::SeriesMask(ActiveCatalogue());
    std::vector<int> bits;
    for (int bit = 0; bit < static_cast<int>(core::kSeriesNames.size()); ++bit) {
        if (mask & (1u << bit)) {
            bits.push_back(bit);
        }
    }
    return bits;
}

std::vector<int> MainDialog::PartEntries() const {
    const std::vector<int> series = SeriesBits();
    std::vector<int> entries;
    if (!IsListed(seriesItem_, series.size())) {
        return entries;
    }
    const std::span<const PartInfo> active = ActiveCatalogue();
    const uint32_t mask = Catalogue::SeriesMask(active);
    for (std::size_t i = 0; i < active.size(); ++i) {
        if ((mask & active[i].seriesMask) == (1u << series[seriesItem_])) {
            entries.push_back(static_cast<int>(i));
        }
    }
    return entries;
}

std::vector<uint32_t> MainDialog::IspSizes() const {
    const PartInfo* part = CurrentPart();
    return part != nullptr ? ParseMemoryList(part->ispMemoryList) : std::vector<uint32_t>{};
}

uint32_t MainDialog::SelectedIspSize() const {
    const std::vector<uint32_t> sizes = IspSizes();
    return IsListed(ispMemoryItem_, sizes.size()) ? sizes[ispMemoryItem_] : 0;
}

uint32_t MainDialog::IapItemCount() const {
    const PartInfo* part = CurrentPart();
    return part != nullptr ? IapMemoryItemCount(part->flashSize, SelectedIspSize()) : 0;
}

bool MainDialog::HwFieldsEnabled() const {
    const PartInfo* part = CurrentPart();
    return part != nullptr && part->hasHwSettings != 0 && hwenwOptionIndex_ &&
           ((job_.optionStates[0] >> *hwenwOptionIndex_) & 1) != 0;
}

void MainDialog::OnProgrammerTypeClicked(int type) {
    // A click on the type already chosen changes nothing.
    if ((type == 0 || type == 1) && type != programmerRadio_ && !catalogue_.Of(type == 1).empty()) {
        programmerRadio_ = type;
        FillSeriesList();
    }
    Render();
}

void MainDialog::FillSeriesList() {
    SelectSeries(0);
}

void MainDialog::OnSeriesChanged(int item) {
    SelectSeries(item);
    Render();
}

void MainDialog::SelectSeries(int item) {
    seriesItem_ = IsListed(item, SeriesBits().size()) ? item : -1;
    SelectPart(0);
}

void MainDialog::OnPartChanged(int item) {
    SelectPart(item);
    Render();
}

void MainDialog::SelectPart(int item) {
    const std::vector<int> entries = PartEntries();
    if (!IsListed(item, entries.size())) {
        partItem_ = -1;  // an empty part list selects nothing
        return;
    }
    partItem_ = item;
    // Selecting the part that is already selected, in the same catalogue, changes nothing.
    if (entries[item] != job_.partIndex || partIcpMode_ != static_cast<uint32_t>(programmerRadio_)) {
        TakePart(entries[item]);
    }
}

void MainDialog::TakePart(int32_t index) {
    job_.partIndex = index;
    partIcpMode_ = static_cast<uint32_t>(programmerRadio_);
    const PartInfo& part = ActiveCatalogue()[index];

    hwenwOptionIndex_.reset();
    for (uint32_t k = 0; k < part.optionCount && k < static_cast<uint32_t>(kOptionBoxCount); ++k) {
        if (std::strcmp(part.options[k].name, kHwenwOption) == 0) {
            hwenwOptionIndex_ = k;
        }
    }
    job_.optionStates[0] = 0;
    job_.optionStates[1] = 0;

    ClearImage();

    ispMemoryItem_ = IspSizes().empty() ? -1 : 0;
    SelectIspMemory(ispMemoryItem_);
    iapMemoryItem_ = IapItemCount() == 0 ? -1 : 0;

    hwwidlText_ = kHwwidlDefault;
    hwpsText_ = kHwpsDefault;
    areaRadio_ = programmerRadio_ == 1 ? AREA_WHOLE_CHIP : AREA_AP;
}

void MainDialog::OnIspMemoryChanged(int item) {
    SelectIspMemory(item);
    Render();
}

void MainDialog::SelectIspMemory(int item) {
    const PartInfo* part = CurrentPart();
    if (part == nullptr || !IsListed(item, IspSizes().size())) {
        return;
    }
    ispMemoryItem_ = item;
    // The data area choice is kept when it still fits beside the new boot area.
    const uint32_t previous = static_cast<uint32_t>(std::max(0, iapMemoryItem_));
    const bool fits = uint64_t{SelectedIspSize()} + uint64_t{previous} * kIapMemoryUnitBytes <=
                      part->flashSize;
    iapMemoryItem_ = fits ? static_cast<int>(previous) : static_cast<int>(IapItemCount()) - 1;
}

void MainDialog::OnIapMemoryChanged(int item) {
    if (IsListed(item, IapItemCount())) {
        iapMemoryItem_ = item;
    }
    Render();
}

void MainDialog::OnOptionClicked(int k, bool checked) {
    const PartInfo* part = CurrentPart();
    if (part != nullptr && k >= 0 && static_cast<uint32_t>(k) < part->optionCount &&
        k < kOptionBoxCount) {
        if (checked) {
            job_.optionStates[0] |= 1u << k;
        } else {
            job_.optionStates[0] &= ~(1u << k);
        }
    }
    Render();
}

void MainDialog::OnAreaClicked(int area) {
    if (area >= 0 && area < kAreaCount) {
        areaRadio_ = area;
    }
    Render();
}

void MainDialog::OnHwwidlEdited(std::string text) {
    hwwidlText_ = std::move(text);
}

void MainDialog::OnHwpsEdited(std::string text) {
    hwpsText_ = std::move(text);
}

MainDialog::EntrySelection MainDialog::SelectCatalogueEntry(int32_t index) {
    const PartInfo& part = ActiveCatalogue()[index];
    // The lowest series bit names the series; a part without one keeps the series.
    for (int bit = 0; bit < 8; ++bit) {
        if (part.seriesMask & (1u << bit)) {
            const std::vector<int> series = SeriesBits();
            const auto found = std::find(series.begin(), series.end(), bit);
            if (found == series.end()) {
                return EntrySelection::SeriesMissing;
            }
            SelectSeries(static_cast<int>(found - series.begin()));
            break;
        }
    }
    const std::vector<int> entries = PartEntries();
    const auto found = std::find(entries.begin(), entries.end(), index);
    if (found == entries.end()) {
        return EntrySelection::PartMissing;
    }
    SelectPart(static_cast<int>(found - entries.begin()));
    return EntrySelection::Selected;
}

}  // namespace korvid::workbench
