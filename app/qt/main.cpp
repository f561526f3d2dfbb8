// KORVID_Demo: the dialog program. Its whole user interface is the main dialog,
// run modally until it ends.
#include "MainDialogWindow.h"
#include "QtSettingsStore.h"
#include "UserPrompts.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    korvid::workbench::Catalogue catalogue = korvid::workbench::LibraryCatalogue();
    korvid::qt::QtSettingsStore settings(catalogue.libraryName, catalogue.version);
    korvid::workbench::LibraryOperations operations;
    korvid::qt::QtUserPrompts prompts;
    const QByteArray language = qgetenv("KORVID_LANG");
    korvid::qt::MainDialogWindow dialog(
        prompts, operations, settings, std::move(catalogue),
        language.isNull() ? std::nullopt : std::optional<std::string_view>(language.constData()));
    dialog.exec();
    return 0;
}
