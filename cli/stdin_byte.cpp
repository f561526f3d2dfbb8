#include "enter_wait.h"

#include "interrupt_flag.h"

#include <cerrno>
#include <csignal>

#include <poll.h>
#include <unistd.h>

namespace korvid::cli {
namespace {

// SIGINT blocked for the lifetime of the object, so that a Ctrl+C between a look at
// the flag and the wait that follows stays pending until the wait lets it in.
class SigintHeld {
public:
    SigintHeld() {
        sigset_t sigint;
        sigemptyset(&sigint);
        sigaddset(&sigint, SIGINT);
        ::pthread_sigmask(SIG_BLOCK, &sigint, &previous_);
        waitMask_ = previous_;
        sigdelset(&waitMask_, SIGINT);
    }
    ~SigintHeld() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    SigintHeld(const SigintHeld&) = delete;
    SigintHeld& operator=(const SigintHeld&) = delete;

    // The mask to wait with: SIGINT let in, every other signal as before.
    const sigset_t* waitMask() const { return &waitMask_; }

private:
    sigset_t previous_;
    sigset_t waitMask_;
};

}  // namespace

// ppoll lets SIGINT in only while it waits and is never restarted after a signal,
// so Ctrl+C ends the wait at once, also when it came just before the wait.
StdinEvent NextStdinByte(char& byte) {
    const SigintHeld held;
    for (;;) {
        if (InterruptFlag::Interrupted()) {
            return StdinEvent::Interrupted;
        }
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (::ppoll(&input, 1, nullptr, held.waitMask()) < 0) {
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
