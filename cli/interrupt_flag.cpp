#include "interrupt_flag.h"

#include <csignal>

namespace korvid::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;
struct sigaction previous {};

void OnInterrupt(int) {
    interrupted = 1;
}

}  // namespace

InterruptFlag::InterruptFlag() {
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // the library's transfers go on undisturbed
    ::sigaction(SIGINT, &action, &previous);
}

InterruptFlag::~InterruptFlag() {
    ::sigaction(SIGINT, &previous, nullptr);
}

bool InterruptFlag::Interrupted() {
    return interrupted != 0;
}

}  // namespace korvid::cli
