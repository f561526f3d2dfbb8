#include "process_start.h"

#include "windows_text.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace korvid::cli {

int StartProcess() {
    SetConsoleOutputCP(CP_UTF8);
    // Lines end with LF alone, as on Linux: scripts and the JSON lines see the same
    // bytes on every system (the console shows them alike).
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> wide(arguments, arguments + (arguments != nullptr ? count : 0));
    LocalFree(arguments);
    const std::optional<std::size_t> refused = FirstArgumentAlteredBy(GetACP(), wide);
    if (!refused) {
        return 0;
    }
    std::fprintf(stderr,
                 "korvid: argument %zu is not ASCII, and this Windows (before 10 version 1903) "
                 "would hand it to the tool in its code page %u, perhaps altered; use ASCII "
                 "names.\n",
                 *refused, GetACP());
    return 2;
}

}  // namespace korvid::cli
