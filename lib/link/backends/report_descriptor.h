// Report byte lengths from a HID report descriptor, computed the way the Windows
// HID capabilities compute them. Pure: descriptor bytes in, summary out.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "link/platform.h"

namespace korvid::platform {

struct ReportDescriptorSummary {
    // Per report type: the largest report over all report identifiers, rounded up
    // to whole bytes, plus the report-identifier byte; 0 when the type is absent.
    ReportLengths lengths;
    // The device numbers its reports: every report it sends starts with its
    // identifier.
    bool usesReportIds = false;
};

// nullopt for a descriptor that the kernel would not bind either: an item that runs
// past the end, Pop without Push, a Report ID of 0 or above 255, or a report longer
// than the largest report buffer the kernel accepts.
std::optional<ReportDescriptorSummary> summarizeReportDescriptor(
    std::span<const uint8_t> descriptor);

}  // namespace korvid::platform
