// One open USB-IO2 board and the command/reply exchange with it.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "board/board_protocol.hpp"
#include "board/hid_layer.hpp"

namespace usbio2 {

// How long a board may take to answer a command, counted from the write.
// Reports with another tag arriving meanwhile do not extend it.
inline constexpr std::chrono::milliseconds kReplyTimeLimit{1000};

struct BoardConnection {
    HidLayer* hid = nullptr;
    std::unique_ptr<HidDevice> handle;  // null when closed
    ReportLengths caps;
    std::vector<std::uint8_t> outputReport;
    std::vector<std::uint8_t> inputReport;

    bool isOpen() const { return handle != nullptr; }
};

struct OpenBoardResult {
    bool opened = false;
    OpenError error = OpenError::failed;  // why, when not opened

    explicit operator bool() const { return opened; }
};

// Any connection still open is closed first. A device that turns out not to
// be a board (its node was reused since discovery) is closed again untouched.
OpenBoardResult openBoard(HidLayer& hid, BoardConnection& connection,
                          const std::filesystem::path& devicePath);

// Sends `command` and waits for the input report carrying its tag, dropping
// any other. False when the board cannot take a full command, a read fails,
// or no matching reply arrives within kReplyTimeLimit.
bool exchange(BoardConnection& connection, const Command& command, Reply& reply);

// Safe to call on a closed connection.
void closeBoard(BoardConnection& connection);

}  // namespace usbio2
