// An in-memory HID layer: scripted devices and replies, injected failures,
// a virtual clock, and a log of every call for tests to assert on.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "board/board_protocol.hpp"
#include "board/hid_layer.hpp"

namespace usbio2::testing {

// One scripted answer to a read.
struct FakeRead {
    ReadStatus status = ReadStatus::ok;
    std::vector<std::uint8_t> report;  // report-ID byte first
};

struct FakeDevice {
    std::string path;
    std::uint16_t vendorId = kBoardVendorId;
    std::uint16_t productId = 0x0120;
    ReportLengths lengths{kReportSize, kReportSize};
    std::optional<OpenError> openError;                     // set: open fails this way
    std::optional<std::optional<std::size_t>> writeResult;  // set: write returns this
    std::deque<FakeRead> reads;                             // answered first, in order
    bool silent = false;        // once `reads` is empty: never reply, or reply like a board
    bool replyPending = false;  // a command was written and not yet answered

    HidInterfaceDetails details;
    // What the opened device says it is, when that differs from the listing.
    std::optional<HidIds> openedIds;

    std::vector<std::vector<std::uint8_t>> written;  // every output report received
};

// An input report of a board: report ID 0 and 64 bytes ending in `tag`.
std::vector<std::uint8_t> boardReply(std::uint8_t tag);

class FakeHidLayer final : public HidLayer {
  public:
    FakeDevice& add(FakeDevice device);
    FakeDevice& addBoard(std::string path, std::uint16_t productId = 0x0120);
    FakeDevice& addDevice(std::string path, std::uint16_t vendorId, std::uint16_t productId);
    FakeDevice& device(const std::string& path);

    std::vector<HidInterfaceInfo> listInterfaces(InterfaceFilter wanted) override;
    OpenResult open(const std::filesystem::path& path) override;
    HidInterfaceDetails describe(const std::filesystem::path& path) override;
    Clock::time_point now() override { return clock_; }

    // "list", "open P", "write P", "read P", "close P", "describe P" in the order made.
    std::vector<std::string> calls;
    // How far the clock moves on each read that returns a report.
    std::chrono::milliseconds readCost{1};
    // When set, every device is offered to listInterfaces whatever `wanted` says.
    bool ignoreFilter = false;
    InterfaceFilter lastFilter = nullptr;

    void advance(std::chrono::milliseconds by) { clock_ += by; }

  private:
    std::vector<FakeDevice> devices_;
    Clock::time_point clock_{};
};

}  // namespace usbio2::testing
