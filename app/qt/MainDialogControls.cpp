#include "MainDialogControls.h"

#include "CHexEditBase.h"
#include "CHexEditBaseAccessible.h"
#include "TextTable.h"
#include "control_names.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>

#include <algorithm>

namespace korvid::qt {
namespace {

using workbench::TextPair;
namespace TextTable = workbench::TextTable;
namespace PlainText = workbench::PlainText;

QGroupBox* Group(QDialog& dialog, int id, const TextPair& text) {
    return Named(new QGroupBox(&dialog), id, text.english);
}

QPushButton* Button(QDialog& dialog, int id, const TextPair& text) {
    // Enter presses the button that has the focus; there is no default button.
    auto* button = Named(new QPushButton(&dialog), id, text.english);
    button->setAutoDefault(true);
    return button;
}

QLineEdit* StatusField(QDialog& dialog, int id, const QString& role) {
    auto* field = Named(new QLineEdit(&dialog), id, role);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::ClickFocus);
    return field;
}

// Makes a status field wide enough to show prefix and digits hexadecimal digits
// whole, whatever their glyphs (the prefixes differ in length between the
// languages, and a proportional font's digits in width).
void FitStatusField(QLineEdit& field, const QString& prefix, int digits) {
    // QLineEdit keeps 2 px of margin on either side of its text, and the text
    // cursor after it.
    constexpr int kTextMarginsPx = 5;
    int widestDigitPx = 0;
    for (const QChar digit : QStringLiteral("0123456789ABCDEF")) {
        widestDigitPx = std::max(widestDigitPx, field.fontMetrics().horizontalAdvance(digit));
    }
    QStyleOptionFrame option;
    option.initFrom(&field);
    option.lineWidth = field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &field);
    const QSize text(
        field.fontMetrics().horizontalAdvance(prefix) + digits * widestDigitPx + kTextMarginsPx,
        field.fontMetrics().height());
    field.setMinimumWidth(
        field.style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, &field).width());
}

QComboBox* DropDown(QDialog& dialog, int id, const QString& role) {
    auto* list = Named(new QComboBox(&dialog), id, role);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(8);
    return list;
}

}  // namespace

MainDialogControls BuildMainDialogControls(QDialog& dialog) {
    MainDialogControls c{};

    c.banner = Named(new QLabel(&dialog), 1054, "Banner");
    c.banner->setPixmap(QPixmap(":/korvid/banner131.png"));
    c.banner->setAlignment(Qt::AlignCenter);

    // Programmer type.
    c.programmerGroup = Group(dialog, 1003, TextTable::programmerType);
    c.ispRadio = Named(new QRadioButton("ISP", c.programmerGroup), 1004, "ISP");
    c.icpRadio = Named(new QRadioButton("ICP", c.programmerGroup), 1005, "ICP");
    auto* programmerLayout = new QHBoxLayout(c.programmerGroup);
    programmerLayout->addWidget(c.ispRadio);
    programmerLayout->addWidget(c.icpRadio);

    // Part.
    c.partGroup = Group(dialog, 1000, TextTable::mcuPartNo);
    c.seriesList = DropDown(dialog, 1001, "Series");
    c.partList = DropDown(dialog, 1002, "Part");
    auto* partLayout = new QVBoxLayout(c.partGroup);
    partLayout->addWidget(c.seriesList);
    partLayout->addWidget(c.partList);

    // Programming area.
    c.areaGroup = Group(dialog, 1022, TextTable::programmingArea);
    const std::array<const char*, kAreaCount> areaNames{"AP", "IAP", "ISP", "AP+IAP", "Whole-chip"};
    auto* areaLayout = new QGridLayout(c.areaGroup);
    for (int i = 0; i < kAreaCount; ++i) {
        c.areaRadios[i] =
            Named(new QRadioButton(areaNames[i], c.areaGroup), 1032 + i, areaNames[i]);
        areaLayout->addWidget(c.areaRadios[i], i / 2, i % 2);
    }

    // Hardware options: twelve boxes, the memory sizes and HWWIDL/HWPS.
    c.hwGroup = Group(dialog, 1006, TextTable::hwOptionsSetting);
    auto* optionLayout = new QGridLayout;
    for (int k = 0; k < kOptionBoxCount; ++k) {
        c.optionBoxes[k] =
            Named(new QCheckBox(c.hwGroup), 1010 + k, QStringLiteral("Option %1").arg(k));
        QSizePolicy policy = c.optionBoxes[k]->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        c.optionBoxes[k]->setSizePolicy(policy);
        optionLayout->addWidget(c.optionBoxes[k], k % 6, k / 6);
    }
    auto memoryGroup = [&](int groupId, const TextPair& title, int labelId, QComboBox* list,
                           QLabel*& label) {
        QGroupBox* group = Group(dialog, groupId, title);
        label = Named(new QLabel(group), labelId, TextTable::setLabel.english);
        label->setBuddy(list);
        auto* layout = new QHBoxLayout(group);
        layout->addWidget(label);
        layout->addWidget(list, 1);
        return group;
    };
    c.ispMemoryList = DropDown(dialog, 1024, TextTable::ispMemory.english);
    c.iapMemoryList = DropDown(dialog, 1050, TextTable::iapMemory.english);
    c.ispMemoryGroup =
        memoryGroup(1007, TextTable::ispMemory, 1028, c.ispMemoryList, c.ispMemoryLabel);
    c.iapMemoryGroup =
        memoryGroup(1008, TextTable::iapMemory, 1029, c.iapMemoryList, c.iapMemoryLabel);
    c.hwwidlEdit = Named(new QLineEdit(c.hwGroup), 1025, "HWWIDL");
    c.hwpsEdit = Named(new QLineEdit(c.hwGroup), 1026, "HWPS");
    for (QLineEdit* edit : {c.hwwidlEdit, c.hwpsEdit}) {
        edit->setMaximumWidth(48);
    }
    auto* hwwidlLabel = Named(new QLabel(PlainText::hwwidlLabel, c.hwGroup), 1030, "HWWIDL label");
    auto* hwpsLabel = Named(new QLabel(PlainText::hwpsLabel, c.hwGroup), 1031, "HWPS label");
    hwwidlLabel->setBuddy(c.hwwidlEdit);
    hwpsLabel->setBuddy(c.hwpsEdit);
    auto* hwFieldLayout = new QGridLayout;
    hwFieldLayout->addWidget(hwwidlLabel, 0, 0);
    hwFieldLayout->addWidget(c.hwwidlEdit, 0, 1);
    hwFieldLayout->addWidget(hwpsLabel, 1, 0);
    hwFieldLayout->addWidget(c.hwpsEdit, 1, 1);
    hwFieldLayout->setColumnStretch(2, 1);
    auto* memoryLayout = new QVBoxLayout;
    memoryLayout->addWidget(c.ispMemoryGroup);
    memoryLayout->addWidget(c.iapMemoryGroup);
    memoryLayout->addLayout(hwFieldLayout);
    memoryLayout->addStretch(1);
    auto* hwLayout = new QHBoxLayout(c.hwGroup);
    hwLayout->addLayout(optionLayout, 3);
    hwLayout->addLayout(memoryLayout, 2);

    // Code buffer with the hex editor and the three status fields.
    c.codeGroup = Group(dialog, 1023, TextTable::binaryCodeBuffer);
    // Readers see the editor as an editable text only when its interface is
    // installed before the editor exists.
    InstallHexEditAccessibility();
    c.hexEdit =
        Named(new CHexEditBase(c.codeGroup, true), 1037, TextTable::binaryCodeBuffer.english);
    c.hexEdit->setMinimumHeight(200);
    c.sourceStatus = StatusField(dialog, 1038, "Source");
    c.sizeStatus = StatusField(dialog, 1039, "Size");
    c.checksumStatus = StatusField(dialog, 1040, "Checksum");
    auto* statusLayout = new QHBoxLayout;
    statusLayout->addWidget(c.sourceStatus, 4);
    statusLayout->addWidget(c.sizeStatus, 1);
    statusLayout->addWidget(c.checksumStatus, 1);
    auto* codeLayout = new QVBoxLayout(c.codeGroup);
    codeLayout->addWidget(c.hexEdit, 1);
    codeLayout->addLayout(statusLayout);

    // Command column.
    c.load = Button(dialog, 1041, TextTable::load);
    c.saveKpj = Button(dialog, 1049, TextTable::saveKpj);
    c.updateTarget = Button(dialog, 1046, TextTable::updateTarget);
    c.updateProgrammer = Button(dialog, 1047, TextTable::updateProgrammer);
    c.dumpTargetInfo = Button(dialog, 1048, TextTable::dumpTargetInfo);
    c.writeProtect = Named(new QCheckBox(&dialog), 1070, TextTable::writeProtect.english);
    c.autoReload = Named(new QCheckBox(&dialog), 1068, TextTable::autoReloadCode.english);
    c.about = Named(new QPushButton(PlainText::aboutItem, &dialog), 16, "About");
    c.about->setAutoDefault(true);
    c.exit = Button(dialog, 2, TextTable::exit);
    auto* commandLayout = new QVBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{c.load, c.saveKpj, c.updateTarget,
                                                      c.updateProgrammer, c.dumpTargetInfo}) {
        commandLayout->addWidget(w);
    }
    commandLayout->addSpacing(8);
    commandLayout->addWidget(c.writeProtect);
    commandLayout->addWidget(c.autoReload);
    commandLayout->addStretch(1);
    commandLayout->addWidget(c.about);
    commandLayout->addWidget(c.exit);

    // Arrangement: banner; selection column beside the options; code buffer beside
    // the commands.
    auto* selectionLayout = new QVBoxLayout;
    selectionLayout->addWidget(c.programmerGroup);
    selectionLayout->addWidget(c.partGroup);
    selectionLayout->addWidget(c.areaGroup);
    selectionLayout->addStretch(1);
    auto* upperLayout = new QHBoxLayout;
    upperLayout->addLayout(selectionLayout, 2);
    upperLayout->addWidget(c.hwGroup, 5);
    auto* lowerLayout = new QHBoxLayout;
    lowerLayout->addWidget(c.codeGroup, 1);
    lowerLayout->addLayout(commandLayout);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(c.banner);
    layout->addLayout(upperLayout);
    layout->addLayout(lowerLayout, 1);
    return c;
}

void ShowControlTexts(const MainDialogControls& c, const workbench::MainDialogTexts& t) {
    const auto text = [](const std::string& utf8) { return QString::fromStdString(utf8); };
    c.programmerGroup->setTitle(text(t.programmerType));
    c.partGroup->setTitle(text(t.mcuPartNo));
    c.areaGroup->setTitle(text(t.programmingArea));
    c.hwGroup->setTitle(text(t.hwOptionsSetting));
    c.ispMemoryGroup->setTitle(text(t.ispMemory));
    c.iapMemoryGroup->setTitle(text(t.iapMemory));
    c.ispMemoryLabel->setText(text(t.setLabel));
    c.iapMemoryLabel->setText(text(t.setLabel));
    c.codeGroup->setTitle(text(t.binaryCodeBuffer));
    c.load->setText(text(t.load));
    c.saveKpj->setText(text(t.saveKpj));
    c.updateTarget->setText(text(t.updateTarget));
    c.updateProgrammer->setText(text(t.updateProgrammer));
    c.dumpTargetInfo->setText(text(t.dumpTargetInfo));
    FitStatusField(*c.sizeStatus, text(t.sizePrefix), workbench::kSizeDigits);
    FitStatusField(*c.checksumStatus, text(t.checksumPrefix), workbench::kChecksumDigits);
    c.writeProtect->setText(text(t.writeProtect));
    c.autoReload->setText(text(t.autoReloadCode));
    c.exit->setText(text(t.exit));
}

}  // namespace korvid::qt
