#include "board/board_protocol.hpp"

#include <algorithm>

namespace usbio2 {

bool isBoard(std::uint16_t vendorId, std::uint16_t productId) {
    return vendorId == kBoardVendorId &&
           std::ranges::find(kBoardProductIds, productId) != std::end(kBoardProductIds);
}

Command buildPortCommand(std::int32_t port1, std::int32_t port2) {
    Command command{};
    command[0] = kPortOutputCode;
    command[1] = 0x01;
    command[2] = static_cast<std::uint8_t>(port1 & 0xFF);
    command[3] = 0x02;
    command[4] = static_cast<std::uint8_t>(port2 & 0xFF);
    command[kTagByte] = kPortOutputTag;
    return command;
}

void frameOutputReport(const Command& command, std::span<std::uint8_t> report) {
    report[0] = 0x00;
    std::ranges::copy(command, report.begin() + 1);
}

bool isReplyTo(std::span<const std::uint8_t> inputReport, std::uint8_t tag) {
    return inputReport.size() >= kReportSize && inputReport[1 + kTagByte] == tag;
}

}  // namespace usbio2
