// Scoped use of the two programmer links: a session closes its link when it goes
// out of scope, so every return path of an operation leaves the device closed.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "link/sent_observer.h"

namespace korvid::programming {

// The HID link, opened by product identifier (normal or firmware-update mode).
class HidLinkSession {
public:
    HidLinkSession() = default;
    ~HidLinkSession() { close(); }
    HidLinkSession(const HidLinkSession&) = delete;
    HidLinkSession& operator=(const HidLinkSession&) = delete;

    // True when a programmer with this product identifier was opened (the one at
    // location, when given).
    bool open(uint16_t productId, std::string_view location = {});
    void close();
    bool isOpen() const { return open_; }

    // Sends the whole stream in output reports; false when any of it was not sent.
    // afterReport, when given, is told the bytes sent so far after each report.
    bool send(std::span<const uint8_t> bytes, const link::SentObserver& afterReport = {});
    // Receives exactly destination.size() bytes; false when fewer (or more) came.
    bool receive(std::span<uint8_t> destination);
    // One reply byte, or nothing when no byte arrived.
    std::optional<uint8_t> receiveByte();

private:
    bool open_ = false;
};

// The older programmer's pipe device (the first one found, or the one at location).
class PipeLinkSession {
public:
    PipeLinkSession() = default;
    ~PipeLinkSession() { close(); }
    PipeLinkSession(const PipeLinkSession&) = delete;
    PipeLinkSession& operator=(const PipeLinkSession&) = delete;

    bool open(std::string_view location = {});
    void close();

private:
    bool open_ = false;
};

}  // namespace korvid::programming
