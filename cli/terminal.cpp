#include "terminal.h"

#include <unistd.h>

namespace korvid::cli {

bool StdinIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

bool StderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

}  // namespace korvid::cli
