// MainDialog: start-up, the remembered selection, About, activation and ending.
#include "MainDialog.h"

#include "AboutDialog.h"
#include "CHexEditBase.h"
#include "DisplayText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

// The icon and bitmaps are compiled into this static library; a reference from
// here keeps the linker from dropping them.
static void InitWorkbenchResources() {
    Q_INIT_RESOURCE(resources);
}

namespace korvid::workbench {
namespace {

constexpr uint32_t kCodeBufferGrey = 0xC8C8C8;  // 0x00BBGGRR
constexpr uint32_t kBlack = 0;

ProgrammerOperations& LibraryProgrammer() {
    static LibraryOperations operations;
    return operations;
}

}  // namespace

MainDialog::MainDialog(UserPrompts& prompts, QWidget* parent)
    : MainDialog(prompts, LibraryProgrammer(), parent) {}

MainDialog::MainDialog(UserPrompts& prompts, ProgrammerOperations& operations, QWidget* parent)
    : QDialog(parent),
      prompts_(prompts),
      operations_(operations),
      controls_(BuildMainDialogControls(*this)) {
    InitWorkbenchResources();
    setObjectName("id102");
    job_.partIndex = -1;
    job_.programArea = static_cast<uint32_t>(areaRadio_);
    controls_.ispRadio->setChecked(programmerRadio_ == 0);
    controls_.icpRadio->setChecked(programmerRadio_ == 1);
    PushAreaRadio();
    setWindowIcon(QIcon(":/korvid/icon128.png"));

    char name[KORVID_DISPLAY_NAME_SIZE] = {};
    uint16_t version = 0;
    GetAPInfo(name, &version);
    libraryName_ = DecodeCp936(name, sizeof name);
    captionText_ = FormatCaption(libraryName_, version);
    setWindowTitle(captionText_);
    setAccessibleName(captionText_);
    selectionStore_ = std::make_unique<SelectionStore>(libraryName_, version);
    CreateLanguageActions();
    ApplyLanguage(StartLanguage());

    ConnectControls();
    SetUpCatalogue();
    ConfigureHexEditor();
    RestoreSelection();
    resize(800, 640);
}

MainDialog::~MainDialog() = default;

void MainDialog::SetUpCatalogue() {
    ispPartCount_ = GetISPInfo(&ispCatalogue_);
    icpPartCount_ = GetICPInfo(&icpCatalogue_);
    for (uint32_t i = 0; i < ispPartCount_; ++i) {
        ispSeriesMask_ |= ispCatalogue_[i].seriesMask;
    }
    for (uint32_t i = 0; i < icpPartCount_; ++i) {
        icpSeriesMask_ |= icpCatalogue_[i].seriesMask;
    }
    controls_.ispRadio->setEnabled(ispPartCount_ != 0);
    controls_.icpRadio->setEnabled(icpPartCount_ != 0);
    if (ispPartCount_ == 0) {
        programmerRadio_ = 1;
        PushProgrammerRadio();
    }
    FillSeriesList();
}

void MainDialog::ConfigureHexEditor() {
    CHexEditBase& hex = *controls_.hexEdit;
    hex.SetShowAddress(true, true);
    hex.SetAddressDigits(8, true);
    hex.SetShowAscii(true, true);
    hex.SetBytesPerRow(16, false, true);
    hex.SetAddressColors(kCodeBufferGrey, kBlack, true);
    hex.SetAsciiColors(kCodeBufferGrey, kBlack, true);
    hex.SetHexColors(kCodeBufferGrey, kBlack, true);
    hex.SetBackgroundColor(kCodeBufferGrey, true);
    hex.SetReadOnly(false, true);
}

void MainDialog::ConnectControls() {
    const MainDialogControls& c = controls_;
    connect(c.ispRadio, &QRadioButton::clicked, this, &MainDialog::FillSeriesList);
    connect(c.icpRadio, &QRadioButton::clicked, this, &MainDialog::FillSeriesList);
    connect(c.seriesList, &QComboBox::activated, this, &MainDialog::OnSeriesChanged);
    connect(c.partList, &QComboBox::activated, this, &MainDialog::OnPartChanged);
    connect(c.ispMemoryList, &QComboBox::activated, this, &MainDialog::OnIspMemoryChanged);
    connect(c.iapMemoryList, &QComboBox::activated, this, &MainDialog::OnIapMemoryChanged);
    for (int k = 0; k < kOptionBoxCount; ++k) {
        connect(c.optionBoxes[k], &QCheckBox::clicked, this, [this, k] { OnOptionClicked(k); });
    }
    for (int i = 0; i < kAreaCount; ++i) {
        connect(c.areaRadios[i], &QRadioButton::clicked, this, [this, i] { areaRadio_ = i; });
    }
    connect(c.load, &QPushButton::clicked, this, &MainDialog::OnLoad);
    connect(c.hexEdit, &CHexEditBase::editChanged, this, &MainDialog::OnImageEdited);
    connect(c.exit, &QPushButton::clicked, this, &MainDialog::reject);
    connect(c.about, &QPushButton::clicked, this, &MainDialog::ShowAbout);
    // Both update buttons reach the same command; these connections run before it
    // and record which button it was.
    connect(c.updateTarget, &QPushButton::clicked, this, [this] { toTarget_ = 1; });
    connect(c.updateProgrammer, &QPushButton::clicked, this, [this] { toTarget_ = 0; });
    connect(c.updateTarget, &QPushButton::clicked, this, &MainDialog::OnUpdate);
    connect(c.updateProgrammer, &QPushButton::clicked, this, &MainDialog::OnUpdate);
    connect(c.dumpTargetInfo, &QPushButton::clicked, this, &MainDialog::OnDump);
    connect(c.saveKpj, &QPushButton::clicked, this, &MainDialog::OnSaveKpj);
    connect(c.writeProtect, &QCheckBox::clicked, this,
            [this](bool checked) { controls_.hexEdit->SetReadOnly(checked, true); });
    connect(c.autoReload, &QCheckBox::clicked, this,
            [this](bool checked) { autoReload_ = checked; });
}

void MainDialog::PushProgrammerRadio() {
    controls_.ispRadio->setChecked(programmerRadio_ == 0);
    controls_.icpRadio->setChecked(programmerRadio_ == 1);
}

void MainDialog::PushAreaRadio() {
    if (areaRadio_ >= 0 && areaRadio_ < kAreaCount) {
        controls_.areaRadios[areaRadio_]->setChecked(true);
    }
}

void MainDialog::RestoreSelection() {
    const std::optional<uint32_t> programmer = selectionStore_->ReadProgrammer();
    if (!programmer) {
        return;
    }
    const uint32_t type = *programmer & 0xFF;
    if (!((type == 0 && ispPartCount_ != 0) || (type == 1 && icpPartCount_ != 0))) {
        return;
    }
    programmerRadio_ = static_cast<int32_t>(type);
    PushProgrammerRadio();
    FillSeriesList();
    const std::optional<uint32_t> body = selectionStore_->ReadBody();
    if (!body || (*body & 0xFF) >= activePartCount_) {
        return;
    }
    SelectCatalogueEntry(activeCatalogue_[*body & 0xFF]);
}

void MainDialog::reject() {
    selectionStore_->Write(partIcpMode_, job_.partIndex);
    QDialog::reject();
}

bool MainDialog::event(QEvent* event) {
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::WindowActivate) {
        OnActivated();
    }
    return handled;
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
    // The dialog has no button of its own for Enter: it neither ends the dialog
    // (which would lose the selection) nor runs a command.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void MainDialog::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.setAccessibleName("Window menu");
    menu.addAction(PlainText::aboutItem, this, &MainDialog::ShowAbout);
    menu.addSeparator();
    menu.addAction(chineseAction_);
    menu.addAction(englishAction_);
    menu.exec(event->globalPos());
}

void MainDialog::ShowAbout() {
    AboutDialog about(captionText_, this);
    prompts_.Run(about);
}

void MainDialog::ShowError(const QString& text) {
    prompts_.Message(this, QMessageBox::Critical, libraryName_, text, QMessageBox::Ok,
                     QMessageBox::Ok);
}

void MainDialog::SetCodeCommandsEnabled(bool enabled) {
    controls_.saveKpj->setEnabled(enabled);
    SetUpdateCommandsEnabled(enabled);
}

void MainDialog::SetUpdateCommandsEnabled(bool enabled) {
    controls_.updateTarget->setEnabled(enabled);
    controls_.updateProgrammer->setEnabled(enabled);
}

}  // namespace korvid::workbench
