// Not a test: shows MainDialog after loading a code file, to look at it by eye.
//   workbench_screenshot FILE [OUT.png]
// Under xvfb-run the window stays up until killed (take the picture with
// `import -window root`); with OUT.png it saves its own picture and quits.
#include "MainDialog.h"
#include "fake_prompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [OUT.png]\n", argv[0]);
        return 2;
    }
    korvid::workbench::testing::FakePrompts prompts;
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
    korvid::workbench::MainDialog dialog(prompts);
    dialog.show();
    application.processEvents();
    std::printf("start-up to first paint: %lld ms\n", static_cast<long long>(clock.elapsed()));
    std::fflush(stdout);
    dialog.OnLoad();
    if (!out.isEmpty()) {
        QTimer::singleShot(800, [&] {
            dialog.grab().save(out);
            application.quit();
        });
    }
    return application.exec();
}
