// korvid-usb-gadget: one simulated programmer presented as a USB device through the
// kernel's gadget framework, for tests of the real USB stack. It serves until it is
// told to stop (SIGTERM or SIGINT), then writes what the programmer went through.
//
//   korvid-usb-gadget --programmer hid|hid-old|pipe|pipe-old|hid-refuse|... --udc UDC
//                     --name NAME [--serial TEXT] [--hung] [--unplug-after N]
//                     [--replug-during-reflash BYTES] [--state FILE]
//
// --hung: a hung firmware that enumerates and then takes and sends nothing;
// --unplug-after N: the plug is pulled after N transfers;
// --replug-during-reflash BYTES: the plug is pulled once BYTES of a new firmware
// arrived, and put back in: the programmer comes back waiting for its firmware.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "gadget_state.h"
#include "hid_port.h"
#include "link/sim/demo_platform.h"
#include "pipe_port.h"

namespace {

std::atomic<bool> stopRequested = false;

struct Options {
    std::string programmer;
    std::string udc;
    std::string name;
    std::string serial;
    bool hung = false;
    std::optional<unsigned> unplugAfter;
    std::optional<size_t> replugDuringReflash;
    std::string stateFile;
};

[[noreturn]] void usage(const char* problem) {
    std::fprintf(stderr,
                 "korvid-usb-gadget: %s\n"
                 "usage: korvid-usb-gadget --programmer NAME --udc UDC --name NAME [--serial TEXT]"
                 " [--hung] [--unplug-after N] [--replug-during-reflash BYTES]"
                 " [--state FILE]\n",
                 problem);
    std::exit(2);
}

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                usage("an option lacks its value");
            }
            return argv[++i];
        };
        if (arg == "--programmer") {
            options.programmer = value();
        } else if (arg == "--udc") {
            options.udc = value();
        } else if (arg == "--name") {
            options.name = value();
        } else if (arg == "--serial") {
            options.serial = value();
        } else if (arg == "--hung") {
            options.hung = true;
        } else if (arg == "--unplug-after") {
            options.unplugAfter = static_cast<unsigned>(std::stoul(value()));
        } else if (arg == "--replug-during-reflash") {
            options.replugDuringReflash = std::stoul(value());
        } else if (arg == "--state") {
            options.stateFile = value();
        } else {
            usage("unknown option");
        }
    }
    if (options.programmer.empty() || options.udc.empty() || options.name.empty()) {
        usage("--programmer, --udc and --name are needed");
    }
    return options;
}

void onStopSignal(int) {
    stopRequested = true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace korvid;
    const Options options = parse(argc, argv);
    // The programmer models of the demo mode, on the system clock, one of them.
    const auto sim = sim::MakeDemoPlatform(options.programmer, sim::DemoClock::System);
    if (!sim || options.programmer.find(',') != std::string::npos) {
        usage("unknown programmer");
    }
    std::signal(SIGTERM, onStopSignal);
    std::signal(SIGINT, onStopSignal);
    try {
        std::unique_ptr<gadget::ProgrammerPort> port;
        std::vector<gadget::GadgetMode> modes;
        const bool hid = options.programmer.starts_with("hid");
        if (hid) {
            sim::SimulatedHidProgrammer& programmer = sim->hidBus().programmer(0);
            programmer.options().serial = options.serial;
            programmer.options().unplugAfterTransfers = options.unplugAfter;
            programmer.options().replugAfterFirmwareBytes = options.replugDuringReflash;
            programmer.options().hung = options.hung;
            port = std::make_unique<gadget::HidProgrammerPort>(programmer);
            modes = gadget::HidProgrammerPort::Modes(options.serial);
        } else {
            sim::SimulatedPipeProgrammer& programmer = sim->pipeBus().programmer(0);
            programmer.options().serial = options.serial;
            programmer.options().unplugAfterTransfers = options.unplugAfter;
            programmer.options().replugAfterFirmwareBytes = options.replugDuringReflash;
            programmer.options().hung = options.hung;
            port = std::make_unique<gadget::PipeProgrammerPort>(programmer);
            modes = gadget::PipeProgrammerPort::Modes(options.serial);
        }
        {
            gadget::GadgetRunner runner(options.name, options.udc, modes, *port, options.hung);
            std::fprintf(stderr, "gadget %s: %s on %s\n", options.name.c_str(),
                         options.programmer.c_str(), options.udc.c_str());
            runner.run(stopRequested);
        }
        if (!options.stateFile.empty()) {
            std::ofstream state(options.stateFile);
            state << (hid ? gadget::DescribeState(sim->hidBus().programmer(0))
                          : gadget::DescribeState(sim->pipeBus().programmer(0)));
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "korvid-usb-gadget: %s\n", error.what());
        return 1;
    }
    return 0;
}
