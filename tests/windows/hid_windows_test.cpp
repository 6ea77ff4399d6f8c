// The SetupAPI/HID backend against whatever HID interfaces the system has:
// under Wine a virtual mouse and keyboard, on a PC its own devices. No
// board is needed, and none is written.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "board/board_protocol.hpp"
#include "board/hid_layer.hpp"

namespace usbio2 {
namespace {

using namespace std::chrono_literals;

std::set<std::pair<std::uint16_t, std::uint16_t>> offered;

bool recordAndAccept(std::uint16_t vendorId, std::uint16_t productId) {
    offered.emplace(vendorId, productId);
    return true;
}

bool recordAndReject(std::uint16_t vendorId, std::uint16_t productId) {
    offered.emplace(vendorId, productId);
    return false;
}

TEST(WindowsHidLayer, ListsExactlyTheInterfacesTheFilterWants) {
    auto hid = makeSystemHidLayer();

    offered.clear();
    EXPECT_TRUE(hid->listInterfaces(recordAndReject).empty());
    const auto seenWhenRejecting = offered;

    offered.clear();
    const std::vector<HidInterfaceInfo> all = hid->listInterfaces(recordAndAccept);
    EXPECT_EQ(offered, seenWhenRejecting);
    for (const HidInterfaceInfo& info : all) {
        EXPECT_FALSE(info.path.empty());
        EXPECT_TRUE(offered.contains({info.vendorId, info.productId}));
    }
    EXPECT_GE(all.size(), offered.size());

    for (const HidInterfaceInfo& info : hid->listInterfaces(isBoard)) {
        EXPECT_TRUE(isBoard(info.vendorId, info.productId));
    }
}

TEST(WindowsHidLayer, OpeningAMissingDeviceIsNotFound) {
    auto hid = makeSystemHidLayer();
    const OpenResult opened = hid->open(
        L"\\\\?\\hid#vid_0000&pid_0000#0&0000&0&0#{4d1e55b2-f16f-11cf-88cb-001111000030}");
    EXPECT_EQ(opened.device, nullptr);
    EXPECT_EQ(opened.error, OpenError::notFound);
}

// The whole path through a real device handle: opened for overlapped I/O,
// asked its IDs and report lengths, and read with a time limit it keeps
// when the device has nothing to say.
TEST(WindowsHidLayer, OpensAListedInterfaceAndReadsWithATimeLimit) {
    auto hid = makeSystemHidLayer();
    const std::vector<HidInterfaceInfo> all = hid->listInterfaces(recordAndAccept);
    if (all.empty()) {
        GTEST_SKIP() << "no HID interface on this system";
    }
    const OpenResult opened = hid->open(all.front().path);
    ASSERT_NE(opened.device, nullptr);
    const std::optional<HidIds> ids = opened.device->ids();
    ASSERT_TRUE(ids.has_value());
    EXPECT_EQ(ids->vendorId, all.front().vendorId);
    EXPECT_EQ(ids->productId, all.front().productId);
    const ReportLengths lengths = opened.device->reportLengths();
    ASSERT_GT(lengths.input, 0u);

    std::vector<std::uint8_t> buffer(lengths.input);
    const ReadResult read = opened.device->read(buffer, 50ms);
    EXPECT_NE(read.status, ReadStatus::failed);
    if (read.status == ReadStatus::ok) {
        EXPECT_EQ(read.length, lengths.input);  // someone moved the mouse
    }
}

}  // namespace
}  // namespace usbio2
