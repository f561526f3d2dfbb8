#include "gadget_runner.h"

#include <poll.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>

namespace korvid::gadget {
namespace {

// How long a programmer stays off the bus when it restarts in another mode.
constexpr uint64_t kRestartMs = 500;
// A programmer that restarts stays on the bus a moment after its last answer: a
// short answer sits in the endpoint's buffer, and the write that put it there
// returned before the host read it. A longer one is written while the host reads;
// that write may take this long.
constexpr uint64_t kLastAnswerInBufferMs = 200;
constexpr uint64_t kLastAnswerMs = 1000;
constexpr int kControlPollMs = 10;
constexpr auto kIdleWait = std::chrono::milliseconds(20);
constexpr int kInterruptSignal = SIGUSR2;

uint64_t nowMs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

// Endpoint files block until the host takes part; this signal, without restart,
// lets a blocked thread see that the gadget stops.
void installInterruptSignal() {
    struct sigaction action {};
    action.sa_handler = [](int) {};
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(kInterruptSignal, &action, nullptr);
}

}  // namespace

GadgetRunner::GadgetRunner(const std::string& name, std::string udc,
                           const std::vector<GadgetMode>& modes, ProgrammerPort& port, bool hung)
    : name_(name), udc_(std::move(udc)), port_(port), hung_(hung) {
    installInterruptSignal();
    for (size_t i = 0; i < modes.size(); ++i) {
        const std::string function = name + "m" + std::to_string(i);
        Mode mode;
        mode.gadget = std::make_unique<ConfigfsGadget>(name + "-mode" + std::to_string(i), function,
                                                       modes[i].identity);
        mode.function =
            std::make_unique<FunctionFs>(function, modes[i].descriptors, modes[i].strings, 2);
        modes_.push_back(std::move(mode));
    }
    for (size_t i = 0; i < modes_.size(); ++i) {
        running_ += 2;
        threads_.emplace_back([this, i] {
            receiveLoop(i);
            --running_;
        });
        threads_.emplace_back([this, i] {
            sendLoop(i);
            --running_;
        });
    }
}

GadgetRunner::~GadgetRunner() {
    stopThreads();
}

void GadgetRunner::run(const std::atomic<bool>& stop) {
    std::vector<pollfd> controls;
    for (const Mode& mode : modes_) {
        controls.push_back({mode.function->controlFd(), POLLIN, 0});
    }
    while (!stop) {
        followProgrammer();
        if (poll(controls.data(), controls.size(), kControlPollMs) > 0) {
            for (size_t i = 0; i < controls.size(); ++i) {
                if ((controls[i].revents & POLLIN) != 0) {
                    serveControl(i);
                }
            }
        }
    }
    stopThreads();
}

void GadgetRunner::stopThreads() {
    if (stopping_.exchange(true)) {
        return;
    }
    {
        std::lock_guard guard(lock_);
        for (Mode& mode : modes_) {
            mode.gadget->unbind();
        }
        boundMode_.reset();
    }
    wake_.notify_all();
    // A signal that comes before a thread blocks is lost: repeat until all are out.
    while (running_ > 0) {
        for (std::thread& thread : threads_) {
            pthread_kill(thread.native_handle(), kInterruptSignal);
        }
        usleep(2000);
    }
    for (std::thread& thread : threads_) {
        thread.join();
    }
    threads_.clear();
}

void GadgetRunner::serveControl(size_t mode) {
    FunctionFs& function = *modes_[mode].function;
    while (const auto event = function.nextEvent()) {
        if (event->type == FUNCTIONFS_SETUP) {
            port_.control(mode, event->u.setup, function);
        }
    }
}

void GadgetRunner::receiveLoop(size_t mode) {
    const int fd = modes_[mode].function->endpointFd(2);
    Bytes buffer(port_.outTransferBytes(mode));
    while (!stopping_) {
        if (hung_) {
            pause();  // a hung programmer never takes the host's data
            continue;
        }
        const ssize_t n = read(fd, buffer.data(), buffer.size());
        if (n > 0) {
            port_.hostSent(mode, buffer.data(), static_cast<size_t>(n));
            {
                std::lock_guard guard(lock_);
                hostSentSomething_ = true;
            }
            wake_.notify_all();
        } else if (errno != EINTR) {
            usleep(10000);  // the function was just disabled: it waits for the next bind
        }
    }
}

void GadgetRunner::sendLoop(size_t mode) {
    const int fd = modes_[mode].function->endpointFd(1);
    while (!stopping_) {
        {
            std::unique_lock guard(lock_);
            wake_.wait_for(guard, kIdleWait,
                           [&] { return stopping_ || (boundMode_ == mode && hostSentSomething_); });
            if (stopping_ || boundMode_ != mode || hung_) {
                continue;
            }
            hostSentSomething_ = false;
        }
        // Marked before asking: taking its last answer may make the programmer leave
        // the bus, and it must not leave before that answer went out.
        {
            std::lock_guard guard(lock_);
            sending_ = true;
        }
        std::optional<Bytes> data = port_.nextForHost(mode);
        if (!data) {
            std::lock_guard guard(lock_);
            sending_ = false;
            continue;
        }
        // Blocks until the host reads it, or the gadget leaves the bus.
        (void)!write(fd, data->data(), data->size());
        {
            std::lock_guard guard(lock_);
            sending_ = false;
            hostSentSomething_ = true;  // look again at once: more may follow
        }
    }
}

void GadgetRunner::followProgrammer() {
    std::lock_guard guard(lock_);
    if (stopping_) {
        return;
    }
    BusState state = port_.busState();
    const uint64_t now = nowMs();
    if (boundMode_ && (!state.present || state.mode != *boundMode_)) {
        const bool plugPulled = !state.present && !state.comesBack;
        if (!plugPulled &&
            now - stateSinceMs_ < (sending_ ? kLastAnswerMs : kLastAnswerInBufferMs)) {
            return;  // its last answer is still on the way
        }
        modes_[*boundMode_].gadget->unbind();
        std::fprintf(stderr, "gadget %s: off the bus%s\n", name_.c_str(),
                     state.present ? ", to come back in another mode" : "");
        boundMode_.reset();
        stateSinceMs_ = now;
        return;
    }
    if (boundMode_) {
        stateSinceMs_ = now;
        return;
    }
    if (!state.present && state.comesBack && now - stateSinceMs_ >= kRestartMs) {
        port_.reappear();
        state = port_.busState();
    }
    if (state.present) {
        modes_[state.mode].gadget->bind(udc_);
        std::fprintf(stderr, "gadget %s: on the bus in mode %zu\n", name_.c_str(), state.mode);
        boundMode_ = state.mode;
    }
}

}  // namespace korvid::gadget
