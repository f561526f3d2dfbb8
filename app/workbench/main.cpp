// KORVID_Demo: the dialog program. Its whole user interface is MainDialog, run
// modally until it ends.
#include "MainDialog.h"
#include "UserPrompts.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    korvid::workbench::QtUserPrompts prompts;
    korvid::workbench::MainDialog dialog(prompts);
    dialog.exec();
    return 0;
}
