#include "board/report_descriptor.hpp"

#include <algorithm>
#include <map>
#include <vector>

namespace usbio2 {
namespace {

struct GlobalState {
    std::uint32_t reportSize = 0;   // bits per field
    std::uint32_t reportCount = 0;  // fields
    std::uint32_t reportId = 0;
};

struct Totals {
    std::uint64_t inputBits = 0;
    std::uint64_t outputBits = 0;
};

std::size_t bytesFor(std::uint64_t bits) { return static_cast<std::size_t>((bits + 7) / 8); }

}  // namespace

std::optional<DescriptorSummary> summarizeReportDescriptor(
    std::span<const std::uint8_t> descriptor) {
    GlobalState state;
    std::vector<GlobalState> stack;
    std::map<std::uint32_t, Totals> reports;  // by report ID
    bool numbered = false;

    std::size_t i = 0;
    while (i < descriptor.size()) {
        const std::uint8_t prefix = descriptor[i];
        if (prefix == 0xFE) {  // long item: size byte, tag byte, data
            if (i + 2 >= descriptor.size() || i + 3 + descriptor[i + 1] > descriptor.size()) {
                return std::nullopt;
            }
            i += 3 + descriptor[i + 1];
            continue;
        }
        const std::size_t size = (prefix & 0x03) == 3 ? 4 : (prefix & 0x03);
        if (i + 1 + size > descriptor.size()) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (std::size_t b = 0; b < size; ++b) {
            value |= static_cast<std::uint32_t>(descriptor[i + 1 + b]) << (8 * b);
        }
        i += 1 + size;

        switch (prefix & 0xFC) {
            case 0x80:  // Input
                reports[state.reportId].inputBits +=
                    static_cast<std::uint64_t>(state.reportSize) * state.reportCount;
                break;
            case 0x90:  // Output
                reports[state.reportId].outputBits +=
                    static_cast<std::uint64_t>(state.reportSize) * state.reportCount;
                break;
            case 0x74:  // Report Size
                state.reportSize = value;
                break;
            case 0x94:  // Report Count
                state.reportCount = value;
                break;
            case 0x84:  // Report ID
                state.reportId = value;
                numbered = true;
                break;
            case 0xA4:  // Push
                stack.push_back(state);
                break;
            case 0xB4:  // Pop
                if (stack.empty()) {
                    return std::nullopt;
                }
                state = stack.back();
                stack.pop_back();
                break;
            default:
                break;
        }
    }

    DescriptorSummary summary;
    summary.numberedReports = numbered;
    std::uint64_t longestInput = 0;
    std::uint64_t longestOutput = 0;
    for (const auto& [id, totals] : reports) {
        longestInput = std::max(longestInput, totals.inputBits);
        longestOutput = std::max(longestOutput, totals.outputBits);
    }
    // Windows reports 0 for a direction that has no report at all.
    summary.lengths.input = longestInput == 0 ? 0 : bytesFor(longestInput) + 1;
    summary.lengths.output = longestOutput == 0 ? 0 : bytesFor(longestOutput) + 1;
    return summary;
}

}  // namespace usbio2
