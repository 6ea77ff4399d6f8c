// What the tool relies on from a USB-IO2 board: how it is recognised, the one
// command the tool sends, and how a reply is framed and matched to it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace usbio2 {

inline constexpr std::uint16_t kBoardVendorId = 0x1352;
inline constexpr std::uint16_t kBoardProductIds[] = {0x0120, 0x0121};

bool isBoard(std::uint16_t vendorId, std::uint16_t productId);

// Commands and replies are 64 bytes; on the wire each travels as a HID report
// with a leading report-ID byte, so a board's reports are 65 bytes long.
inline constexpr std::size_t kCommandSize = 64;
inline constexpr std::size_t kReportSize = kCommandSize + 1;
inline constexpr std::size_t kTagByte = 63;

using Command = std::array<std::uint8_t, kCommandSize>;
using Reply = std::array<std::uint8_t, kCommandSize>;

inline constexpr std::uint8_t kPortOutputCode = 0x20;
inline constexpr std::uint8_t kPortOutputTag = 0x00;

// Sets both output ports; each value is cut to its low 8 bits. Every other
// byte is zero, so nothing stale ever reaches a board.
Command buildPortCommand(std::int32_t port1, std::int32_t port2);

// Report ID 0 followed by the command; `report` holds at least kReportSize bytes.
void frameOutputReport(const Command& command, std::span<std::uint8_t> report);

// True when an input report (report-ID byte first) answers a command with `tag`.
bool isReplyTo(std::span<const std::uint8_t> inputReport, std::uint8_t tag);

}  // namespace usbio2
