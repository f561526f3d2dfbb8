#include "enter_wait.h"

#include "interrupt_flag.h"

#include <cerrno>

#include <poll.h>
#include <unistd.h>

namespace korvid::cli {

// poll is never restarted after a signal, so Ctrl+C ends the wait at once.
StdinEvent NextStdinByte(char& byte) {
    for (;;) {
        if (InterruptFlag::Interrupted()) {
            return StdinEvent::Interrupted;
        }
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (::poll(&input, 1, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return StdinEvent::End;
        }
        const ssize_t n = ::read(STDIN_FILENO, &byte, 1);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return n == 1 ? StdinEvent::Byte : StdinEvent::End;
    }
}

}  // namespace korvid::cli
