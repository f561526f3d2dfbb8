#include "enter_wait.h"

#include "interrupt_flag.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace korvid::cli {
namespace {

using namespace std::chrono_literals;

// A read of stdin cannot be interrupted by Ctrl+C on Windows (a pipe's read not
// at all, a console's read ends with nothing read, exactly as at the end of
// input). So one reader thread reads stdin into a queue, and the waiting thread
// watches both the queue and the interrupt flag.
class StdinReader {
public:
    static StdinReader& instance() {
        static StdinReader* reader = new StdinReader;  // outlives exit: its thread may still block
        return *reader;
    }

    StdinEvent next(char& byte) {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (InterruptFlag::Interrupted()) {
                return StdinEvent::Interrupted;
            }
            if (!bytes_.empty()) {
                byte = bytes_.front();
                bytes_.pop_front();
                return StdinEvent::Byte;
            }
            if (ended_) {
                // Ctrl+C at a console also ends the console's read; its console
                // event may come a moment later than that.
                lock.unlock();
                for (auto waited = 0ms; waited < 200ms && !InterruptFlag::Interrupted();
                     waited += 10ms) {
                    std::this_thread::sleep_for(10ms);
                }
                return InterruptFlag::Interrupted() ? StdinEvent::Interrupted : StdinEvent::End;
            }
            arrived_.wait_for(lock, 50ms);
        }
    }

private:
    StdinReader() {
        std::thread([this] { read(); }).detach();
    }

    void read() {
        HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
        for (;;) {
            char buffer[256];
            DWORD got = 0;
            const bool ok = ReadFile(input, buffer, sizeof buffer, &got, nullptr) != 0;
            const std::lock_guard lock(mutex_);
            bytes_.insert(bytes_.end(), buffer, buffer + (ok ? got : 0));
            if (!ok || got == 0) {
                ended_ = true;
                arrived_.notify_all();
                return;
            }
            arrived_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<char> bytes_;
    bool ended_ = false;
};

}  // namespace

StdinEvent NextStdinByte(char& byte) {
    return StdinReader::instance().next(byte);
}

}  // namespace korvid::cli
