#include "gadget_state.h"

#include <cstdio>
#include <sstream>

namespace korvid::gadget {
namespace {

std::string hex(const std::vector<uint8_t>& bytes) {
    std::string text;
    text.reserve(bytes.size() * 2);
    char pair[3];
    for (uint8_t byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

template <typename Programmer>
std::string describe(const Programmer& programmer) {
    std::ostringstream out;
    char identifier[8];
    std::snprintf(identifier, sizeof identifier, "%04x", programmer.firmwareIdentifier());
    out << "transfers=" << programmer.traffic().size() << "\n"
        << "identifier=" << identifier << "\n"
        << "target-flash=" << hex(programmer.targetFlash()) << "\n"
        << "firmware=" << hex(programmer.installedFirmware()) << "\n";
    if (const auto& job = programmer.storedJob()) {
        out << "stored-image=" << hex(job->image) << "\n"
            << "stored-serial=" << job->serialNumber << "\n"
            << "stored-max-count=" << job->maxCount << "\n";
    }
    return out.str();
}

}  // namespace

std::string DescribeState(const sim::SimulatedHidProgrammer& programmer) {
    return describe(programmer);
}

std::string DescribeState(const sim::SimulatedPipeProgrammer& programmer) {
    return describe(programmer);
}

}  // namespace korvid::gadget
