#include "programming/link_sessions.h"

#include "link/hid_link.h"
#include "link/pipe_link.h"

namespace korvid::programming {

bool HidLinkSession::open(uint16_t productId, std::string_view location) {
    close();
    open_ = link::OpenHidProgrammer(link::kVendorId, productId, location) == 1;
    return open_;
}

void HidLinkSession::close() {
    if (open_) {
        link::CloseHidProgrammer();
        open_ = false;
    }
}

bool HidLinkSession::send(std::span<const uint8_t> bytes, const link::SentObserver& afterReport) {
    return link::WriteReports(bytes.data(), bytes.size(), link::outputReportLength(),
                              afterReport) == bytes.size();
}

bool HidLinkSession::receive(std::span<uint8_t> destination) {
    return link::ReadReports(destination.data(), destination.size()) == destination.size();
}

std::optional<uint8_t> HidLinkSession::receiveByte() {
    uint8_t reply = 0;
    if (!receive({&reply, 1})) {
        return std::nullopt;
    }
    return reply;
}

bool PipeLinkSession::open(std::string_view location) {
    close();
    open_ = link::PipeDevice::Open(link::kVendorId, link::kPipeProduct, 1, location) == 0;
    return open_;
}

void PipeLinkSession::close() {
    if (open_) {
        link::PipeDevice::Close();
        open_ = false;
    }
}

}  // namespace korvid::programming
