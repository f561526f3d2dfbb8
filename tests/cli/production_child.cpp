// Started by the production tests in place of a command:
//   production_child reserve COUNTER OUT ROUNDS
//       reserves 16 numbers ROUNDS times, writes each first
//   production_child reserve-and-log COUNTER LOG
//       reserves 256 numbers and logs them, until killed
//   production_child worker-lines
//       "one" on stdout, "note" and "half" on stderr, status 3
//   production_child worker-stdin
//       echoes a line of stdin, then ends as if killed
//   production_child interrupt-before-wait
//       (not on Windows) waits for a byte of a stdin that never sends one, with a
//       Ctrl+C that came after the interrupt flag was looked at; status 0 when the
//       wait ended as interrupted, 1 otherwise; killed by SIGALRM after 10 s
#include "child_process.h"
#include "enter_wait.h"
#include "interrupt_flag.h"
#include "production_log.h"
#include "serial_counter.h"

#include <fstream>
#include <iostream>
#include <string>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#else
#include <csignal>

#include <unistd.h>
#endif

using namespace korvid::cli;

int main(int argc, char** argv) {
#if defined(_WIN32)
    // Standard output as korvid.exe writes it (LF only); standard error stays in text
    // mode, so that its lines end with CR LF as any Windows program's may.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "reserve" && argc == 5) {
        std::ofstream got(argv[3]);
        for (int round = 0; round < std::stoi(argv[4]); ++round) {
            got << ReserveSerialNumbers(argv[2], 0x100, 16) << "\n";
        }
        return 0;
    }
    if (mode == "reserve-and-log" && argc == 4) {
        const ProductionLog production(argv[3]);
        for (;;) {
            const uint32_t first = ReserveSerialNumbers(argv[2], 0x1000, 256);
            OperationRecord record;
            record.operation = "store";
            record.programmer = Json{{"location", "1-1"}};
            record.serialRange = SerialRange{first, 256};
            record.ok = true;
            record.message = std::string(300, 'x');
            production.append(LogEntry(record));
        }
    }
    if (mode == "worker-lines") {
        std::cout << "one\n" << std::flush;
        std::cerr << "note\nhalf" << std::flush;
        return 3;
    }
    if (mode == "worker-stdin") {
        std::string line;
        std::getline(std::cin, line);
        std::cout << "stdin:" << line << ":\n" << std::flush;
        korvid::cli::test::EndAsKilled();
    }
#if !defined(_WIN32)
    if (mode == "interrupt-before-wait") {
        int never[2];
        if (::pipe(never) != 0 || ::dup2(never[0], STDIN_FILENO) < 0) {
            return 2;
        }
        ::alarm(10);
        const InterruptFlag flag;
        // Blocked and raised, the signal is pending: it comes after any look at the
        // flag, exactly as one that arrives between the look and the wait.
        sigset_t sigint;
        sigemptyset(&sigint);
        sigaddset(&sigint, SIGINT);
        ::sigprocmask(SIG_BLOCK, &sigint, nullptr);
        ::raise(SIGINT);
        char byte = 0;
        return NextStdinByte(byte) == StdinEvent::Interrupted ? 0 : 1;
    }
#endif
    std::cerr << "production_child: unknown mode\n";
    return 2;
}
