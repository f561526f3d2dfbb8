// MainDialog: the part selection and hardware-options panel.
#include "CHexEditBase.h"
#include "DisplayText.h"
#include "MainDialog.h"
#include "memory_choices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <array>
#include <cstring>

namespace korvid::workbench {
namespace {

constexpr int kSeriesCount = 7;
constexpr std::array<const char*, kSeriesCount> kSeriesNames{
    "Series A", "Series B", "Series C", "Series D", "Series E", "Series F", "Series G"};
constexpr int kNoSeries = 7;

// The first item equal to text (case-insensitive), or else the first item that
// begins with it; -1 when none.
int FindItem(const QComboBox& list, const QString& text) {
    const int exact = list.findText(text, Qt::MatchFixedString);
    return exact >= 0 ? exact : list.findText(text, Qt::MatchStartsWith);
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

const PartInfo* MainDialog::CurrentPart() const {
    if (job_.partIndex < 0 || static_cast<uint32_t>(job_.partIndex) >= activePartCount_) {
        return nullptr;
    }
    return &activeCatalogue_[job_.partIndex];
}

void MainDialog::FillSeriesList() {
    controls_.seriesList->clear();
    programmerRadio_ = controls_.icpRadio->isChecked() ? 1 : 0;
    const bool icp = programmerRadio_ == 1;
    activeCatalogue_ = icp ? icpCatalogue_ : ispCatalogue_;
    activePartCount_ = icp ? icpPartCount_ : ispPartCount_;
    activeSeriesMask_ = icp ? icpSeriesMask_ : ispSeriesMask_;
    controls_.dumpTargetInfo->setEnabled(!icp);
    for (int bit = 0; bit < kSeriesCount; ++bit) {
        if (activeSeriesMask_ & (1u << bit)) {
            controls_.seriesList->addItem(kSeriesNames[bit]);
        }
    }
    controls_.seriesList->setCurrentIndex(0);
    OnSeriesChanged();
}

void MainDialog::OnSeriesChanged() {
    controls_.partList->clear();
    const QString selected = controls_.seriesList->currentText();
    int series = kNoSeries;
    for (int s = 0; s < kSeriesCount; ++s) {
        if (selected == kSeriesNames[s]) {
            series = s;
            break;
        }
    }
    for (uint32_t i = 0; i < activePartCount_; ++i) {
        if ((activeSeriesMask_ & activeCatalogue_[i].seriesMask) == (1u << series)) {
            controls_.partList->addItem(QString::fromLatin1(activeCatalogue_[i].name));
        }
    }
    controls_.partList->setCurrentIndex(0);
    OnPartChanged();
}

void MainDialog::OnPartChanged() {
    const QByteArray selected = controls_.partList->currentText().toLatin1();
    int32_t index = -1;
    for (uint32_t i = 0; i < activePartCount_; ++i) {
        if (std::strcmp(activeCatalogue_[i].name, selected.constData()) == 0) {
            index = static_cast<int32_t>(i);
            break;
        }
    }
    if (index < 0) {
        return;  // an empty part list selects nothing
    }
    if (index == job_.partIndex && partIcpMode_ == static_cast<uint32_t>(programmerRadio_)) {
        return;
    }
    job_.partIndex = index;
    partIcpMode_ = static_cast<uint32_t>(programmerRadio_);
    const PartInfo& part = activeCatalogue_[index];

    for (int k = 0; k < kOptionBoxCount; ++k) {
        QCheckBox* box = controls_.optionBoxes[k];
        if (static_cast<uint32_t>(k) < part.optionCount) {
            box->setAccessibleName(QString::fromLatin1(part.options[k].name));
            box->setEnabled(true);
            box->setVisible(true);
            if (std::strcmp(part.options[k].name, "HWENW") == 0) {
                hwenwOptionIndex_ = static_cast<uint32_t>(k);
            }
        } else {
            box->setAccessibleName(QStringLiteral("Option %1").arg(k));
            box->setEnabled(false);
            // An unused box keeps its place but shows nothing.
            box->setVisible(false);
        }
        box->setChecked(false);
    }
    ShowOptionTexts();
    job_.optionStates[0] = 0;
    job_.optionStates[1] = 0;

    controls_.ispMemoryList->clear();
    for (uint32_t size : ParseMemoryList(part.ispMemoryList)) {
        controls_.ispMemoryList->addItem(Text(IspMemoryItemText(size)));
    }

    controls_.hexEdit->SetData(nullptr, 0, true);
    reloadPath_.clear();
    controls_.sourceStatus->clear();
    controls_.sizeStatus->clear();
    controls_.checksumStatus->clear();

    controls_.ispMemoryList->setEnabled(part.hasIspMemoryChoice != 0);
    controls_.ispMemoryList->setCurrentIndex(0);
    OnIspMemoryChanged();
    controls_.iapMemoryList->setEnabled(part.hasIapMemoryChoice != 0);
    controls_.iapMemoryList->setCurrentIndex(0);
    // The tip follows the selection just made.
    OnIapMemoryChanged();

    controls_.hwwidlEdit->setEnabled(false);
    controls_.hwwidlEdit->setText("1");
    controls_.hwpsEdit->setEnabled(false);
    controls_.hwpsEdit->setText("7");

    SetCodeCommandsEnabled(false);

    areaRadio_ = programmerRadio_ == 1 ? AREA_WHOLE_CHIP : AREA_AP;
    PushAreaRadio();
    for (QRadioButton* radio : controls_.areaRadios) {
        radio->setEnabled(false);
    }
}

void MainDialog::ShowOptionTexts() {
    const PartInfo* part = CurrentPart();
    for (int k = 0; k < kOptionBoxCount; ++k) {
        QCheckBox* box = controls_.optionBoxes[k];
        if (part == nullptr || static_cast<uint32_t>(k) >= part->optionCount) {
            box->setText(QString());
            box->setToolTip(QString());
            continue;
        }
        // The library describes its options in Chinese only: in English the box
        // shows the option's name and keeps the description as its tip.
        const QString description = DecodeCp936(part->options[k].description);
        const bool english = DisplayLanguage() == Language::English;
        box->setText(english ? QString::fromLatin1(part->options[k].name) : description);
        box->setToolTip(english ? description : QString());
    }
}

uint32_t MainDialog::SelectedIspSize() const {
    const PartInfo* part = CurrentPart();
    if (part == nullptr) {
        return 0;
    }
    const std::vector<uint32_t> sizes = ParseMemoryList(part->ispMemoryList);
    const int selected = controls_.ispMemoryList->currentIndex();
    return selected >= 0 && static_cast<std::size_t>(selected) < sizes.size() ? sizes[selected] : 0;
}

void MainDialog::OnIspMemoryChanged() {
    const PartInfo* part = CurrentPart();
    if (part == nullptr) {
        return;
    }
    const uint32_t ispSize = SelectedIspSize();
    controls_.ispMemoryList->setToolTip(Text(IspMemoryTip(part->flashSize, ispSize)));
    const uint32_t previous =
        static_cast<uint32_t>(std::max(0, controls_.iapMemoryList->currentIndex()));
    QComboBox* iap = controls_.iapMemoryList;
    iap->clear();
    const uint32_t count = IapMemoryItemCount(part->flashSize, ispSize);
    for (uint32_t n = 0; n < count; ++n) {
        iap->addItem(Text(IapMemoryItemText(n)));
    }
    const bool fits =
        uint64_t{ispSize} + uint64_t{previous} * kIapMemoryUnitBytes <= part->flashSize;
    iap->setCurrentIndex(fits ? static_cast<int>(previous) : iap->count() - 1);
    OnIapMemoryChanged();
}

void MainDialog::OnIapMemoryChanged() {
    const PartInfo* part = CurrentPart();
    if (part == nullptr) {
        return;
    }
    const uint32_t n = static_cast<uint32_t>(std::max(0, controls_.iapMemoryList->currentIndex()));
    controls_.iapMemoryList->setToolTip(Text(IapMemoryTip(part->flashSize, SelectedIspSize(), n)));
}

void MainDialog::OnOptionClicked(int k) {
    if (k < 0 || k >= kOptionBoxCount) {
        return;
    }
    if (controls_.optionBoxes[k]->isChecked()) {
        job_.optionStates[0] |= 1u << k;
    } else {
        job_.optionStates[0] &= ~(1u << k);
    }
    UpdateHwFieldsFromHwenw();
}

void MainDialog::UpdateHwFieldsFromHwenw() {
    const PartInfo* part = CurrentPart();
    if (part == nullptr || part->hasHwSettings == 0) {
        return;
    }
    const bool on = hwenwOptionIndex_ < static_cast<uint32_t>(kOptionBoxCount) &&
                    controls_.optionBoxes[hwenwOptionIndex_]->isChecked();
    controls_.hwwidlEdit->setEnabled(on);
    controls_.hwpsEdit->setEnabled(on);
}

MainDialog::PartLookup MainDialog::SelectCatalogueEntry(const PartInfo& part) {
    for (int bit = 0; bit < 8; ++bit) {
        if (part.seriesMask & (1u << bit)) {
            if (bit >= kSeriesCount) {
                return PartLookup::SeriesMissing;
            }
            const int item = FindItem(*controls_.seriesList, kSeriesNames[bit]);
            if (item < 0) {
                return PartLookup::SeriesMissing;
            }
            controls_.seriesList->setCurrentIndex(item);
            OnSeriesChanged();
            break;
        }
    }
    const int item = FindItem(*controls_.partList, QString::fromLatin1(part.name));
    if (item < 0) {
        return PartLookup::PartMissing;
    }
    controls_.partList->setCurrentIndex(item);
    OnPartChanged();
    return PartLookup::Selected;
}

}  // namespace korvid::workbench
