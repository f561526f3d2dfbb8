// Not a test: shows the main dialog after loading a code file, to look at it by eye.
//   workbench_screenshot [--update | --max-count] FILE [OUT.png]
// Under xvfb-run the window stays up until killed (take the picture with
// `import -window root`); with OUT.png it saves its own picture and quits.
// --update then runs "Update Target" (the firmware question is answered Yes, so
// with KORVID_SIMULATE=hid-old the progress dialog shows); --max-count runs
// "Update Programmer" up to its Max Count dialog. Their message boxes and dialogs
// are the real ones and stay up.
#include "MainDialogWindow.h"
#include "QtSettingsStore.h"
#include "fake_prompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

// The area dialog and the file dialog are answered; the firmware question gets
// Yes; every other message box and dialog is shown for real.
class ScreenshotPrompts : public korvid::qt::testing::FakePrompts {
public:
    QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon,
                                        const QString& caption, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override {
        if (icon == QMessageBox::Question) {
            return QMessageBox::Yes;
        }
        return real_.Message(parent, icon, caption, text, buttons, defaultButton);
    }
    int Run(QDialog& dialog) override {
        if (dialog.objectName() == "id129") {
            return FakePrompts::Run(dialog);
        }
        return real_.Run(dialog);
    }

private:
    korvid::qt::QtUserPrompts real_;
};

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    QApplication application(argc, argv);
    const char* command = nullptr;
    if (argc > 1 &&
        (std::strcmp(argv[1], "--update") == 0 || std::strcmp(argv[1], "--max-count") == 0)) {
        command = argv[1];
        --argc;
        ++argv;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s [--update | --max-count] FILE [OUT.png]\n", argv[0]);
        return 2;
    }
    ScreenshotPrompts prompts;
    prompts.openFiles.push_back(QString::fromLocal8Bit(argv[1]));
    const QString out = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    // The area dialog is shown and, with OUT.png, pictured as OUT.png-area.png.
    prompts.dialogs.push_back([&out](QDialog& area) {
        area.show();
        QApplication::processEvents();
        if (!out.isEmpty()) {
            area.grab().save(out + "-area.png");
        }
        area.accept();
        return int{QDialog::Accepted};
    });
    korvid::workbench::Catalogue catalogue = korvid::workbench::LibraryCatalogue();
    korvid::qt::QtSettingsStore settings(catalogue.libraryName, catalogue.version);
    korvid::workbench::LibraryOperations operations;
    const QByteArray language = qgetenv("KORVID_LANG");
    korvid::qt::MainDialogWindow dialog(
        prompts, operations, settings, std::move(catalogue),
        language.isNull() ? std::nullopt : std::optional<std::string_view>(language.constData()));
    dialog.show();
    application.processEvents();
    std::printf("start-up to first paint: %lld ms\n", static_cast<long long>(clock.elapsed()));
    std::fflush(stdout);
    dialog.Model().OnLoad();
    if (command != nullptr) {
        const int id = std::strcmp(command, "--update") == 0 ? 1046 : 1047;
        QPushButton* button = dialog.findChild<QPushButton*>(QStringLiteral("id%1").arg(id));
        QTimer::singleShot(300, button, &QPushButton::click);
    }
    if (!out.isEmpty()) {
        QTimer::singleShot(800, [&] {
            dialog.grab().save(out);
            application.quit();
        });
    }
    return application.exec();
}
