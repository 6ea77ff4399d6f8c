// Report lengths read from a raw HID report descriptor, for platforms that
// hand over the descriptor rather than the lengths.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "board/hid_layer.hpp"

namespace usbio2 {

struct DescriptorSummary {
    // The longest report of each direction plus one byte for the report ID,
    // the same count Windows gives.
    ReportLengths lengths;
    // True when reports carry a report-ID byte of their own on the wire.
    bool numberedReports = false;
};

// Nothing when the descriptor is malformed (an item running past the end,
// a Pop without a Push).
std::optional<DescriptorSummary> summarizeReportDescriptor(
    std::span<const std::uint8_t> descriptor);

}  // namespace usbio2
