// KORVID_Demo.exe: the dialog program. Its whole user interface is the main
// dialog, which runs until "Exit", Escape or the close box ends it.
#include "Catalogue.h"
#include "MainWindow.h"
#include "ProgrammerOperations.h"
#include "RegistrySettingsStore.h"
#include "wide_text.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

// KORVID_LANG ("en" or "zh") overrides the language remembered from the menu.
std::optional<std::string> EnvironmentLanguage() {
    const wchar_t* value = _wgetenv(L"KORVID_LANG");
    if (value == nullptr) {
        return std::nullopt;
    }
    return korvid::core::Utf8FromWide(value);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                       ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    korvid::workbench::Catalogue catalogue = korvid::workbench::LibraryCatalogue();
    korvid::workbench::LibraryOperations operations;
    korvid::win32::RegistrySettingsStore settings(catalogue.libraryName, catalogue.version);
    korvid::win32::MainWindow window(instance, operations, settings, std::move(catalogue),
                                     EnvironmentLanguage());
    if (window.Create() == nullptr) {
        return EXIT_FAILURE;
    }
    window.Run();
    return EXIT_SUCCESS;
}
