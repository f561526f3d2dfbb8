// Shows two hex editors for a look by eye: one configured as the workbench
// configures its code buffer, one with the control's own colours and
// auto-fit. Each holds 300 bytes, a selection spanning rows and the caret.
//   hexedit_demo [seconds]   (closes itself after that many seconds, default 10)
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdint>
#include <vector>

#include "CHexEditBase.h"
#include "CHexEditBaseAccessible.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InstallHexEditAccessibility();
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;

    std::vector<uint8_t> bytes(300);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + 0x20);
    }

    QWidget window;
    window.setAccessibleName(QStringLiteral("Hex editor demo"));
    window.resize(700, 560);
    auto* layout = new QVBoxLayout(&window);

    auto* workbench = new CHexEditBase(&window);
    workbench->SetShowAddress(true, false);
    workbench->SetAddressDigits(8, false);
    workbench->SetShowAscii(true, false);
    workbench->SetBytesPerRow(16, false, false);
    workbench->SetAddressColors(0x00C8C8C8, 0, false);
    workbench->SetHexColors(0x00C8C8C8, 0, false);
    workbench->SetAsciiColors(0x00C8C8C8, 0, false);
    workbench->SetBackgroundColor(0x00C8C8C8, false);
    workbench->SetData(bytes.data(), static_cast<uint32_t>(bytes.size()), true);
    layout->addWidget(workbench);

    auto* plain = new CHexEditBase(&window);
    plain->SetShowAddress(true, false);
    plain->SetShowAscii(true, false);
    plain->SetBytesPerRow(16, true, false);
    plain->SetData(bytes.data(), static_cast<uint32_t>(bytes.size()), true);
    plain->SetSelection(5, 40, false, true);
    layout->addWidget(plain);

    auto* single = new CHexEditBase(&window, false);
    single->setFixedHeight(24);
    single->SetData(bytes.data(), 40, true);
    layout->addWidget(single);

    window.show();
    // Once the window is mapped and sized: focus,
    // the caret moved onto offset 0x23's low nibble with the keyboard, then a
    // selection spanning rows.
    QTimer::singleShot(200, workbench, [workbench] {
        workbench->activateWindow();
        workbench->setFocus();
        const auto press = [workbench](Qt::Key key) {
            QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(workbench, &event);
        };
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        for (int i = 0; i < 7; ++i) {
            press(Qt::Key_Right);
        }
        workbench->SetSelection(21, 70, true, true);
    });
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    return app.exec();
}
