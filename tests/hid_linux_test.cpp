#include "board/hid_linux.hpp"

#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "board/board_protocol.hpp"

namespace usbio2 {
namespace {

namespace fs = std::filesystem;

// A throw-away stand-in for /sys and /dev.
class LinuxHidTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("usbio2-hid-test-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "sys/bus/hid/devices");
        fs::create_directories(root / "dev");
    }
    void TearDown() override { fs::remove_all(root); }

    // A HID device folder, with a hidraw node when `node` is set.
    fs::path addDevice(const std::string& name, std::optional<int> node,
                       const std::string& uevent = "") {
        const fs::path folder = root / "sys/bus/hid/devices" / name;
        fs::create_directories(folder);
        if (node) {
            fs::create_directories(folder / "hidraw" / ("hidraw" + std::to_string(*node)));
        }
        if (!uevent.empty()) {
            std::ofstream(folder / "uevent") << uevent;
        }
        return folder;
    }

    std::vector<std::string> listed(InterfaceFilter filter = isBoard) {
        auto hid = makeLinuxHidLayer(root / "sys", root / "dev");
        std::vector<std::string> result;
        for (const HidInterfaceInfo& info : hid->listInterfaces(filter)) {
            std::ostringstream line;
            line << info.path.filename().string() << ' ' << std::hex << info.vendorId << ':'
                 << info.productId;
            result.push_back(line.str());
        }
        return result;
    }

    fs::path root;
};

TEST_F(LinuxHidTest, ListsWantedDevicesInNodeOrder) {
    addDevice("0003:1352:0120.0001", 10);
    addDevice("0003:046D:C077.0002", 2);
    addDevice("0003:1352:0121.0003", 9);
    addDevice("0003:1352:0122.0005", 3);
    addDevice("0003:1352:0120.0004", std::nullopt);  // no hidraw node: unusable
    addDevice("0018:1352:0121.0006", 0);             // another bus, still a board by its IDs
    EXPECT_EQ(listed(), (std::vector<std::string>{"hidraw0 1352:121", "hidraw9 1352:121",
                                                  "hidraw10 1352:120"}));
}

// More devices than one read of the folder returns: none is lost between
// reads, and the boards among them still come in node order.
TEST_F(LinuxHidTest, ListsBoardsAmongManyDevices) {
    std::vector<std::string> expected;
    for (int n = 0; n < 300; ++n) {
        char name[32];
        const bool board = n % 37 == 5;
        std::snprintf(name, sizeof name, "0003:%04X:%04X.%04X", board ? 0x1352 : 0x046D,
                      board ? 0x0120 : 0xC000 + n, n + 1);
        addDevice(name, 299 - n);
        if (board) {
            expected.insert(expected.begin(), "hidraw" + std::to_string(299 - n) + " 1352:120");
        }
    }
    EXPECT_EQ(listed(), expected);
}

TEST_F(LinuxHidTest, FilterDecidesWhatIsListed) {
    addDevice("0003:1352:0120.0001", 1);
    addDevice("0003:046D:C077.0002", 0);
    EXPECT_EQ(listed([](std::uint16_t, std::uint16_t) { return true; }),
              (std::vector<std::string>{"hidraw0 46d:c077", "hidraw1 1352:120"}));
    EXPECT_TRUE(listed([](std::uint16_t, std::uint16_t) { return false; }).empty());
}

TEST_F(LinuxHidTest, FallsBackToUeventWhenTheNameSaysNothing) {
    addDevice("renamed-device", 4, "DRIVER=hid-generic\nHID_ID=0003:00001352:00000121\n");
    addDevice("no-uevent", 5);
    EXPECT_EQ(listed(), (std::vector<std::string>{"hidraw4 1352:121"}));
}

TEST_F(LinuxHidTest, MissingSysfsListsNothing) {
    fs::remove_all(root / "sys");
    EXPECT_TRUE(listed().empty());
}

TEST_F(LinuxHidTest, OpenTellsAMissingNodeFromOtherFailures) {
    auto hid = makeLinuxHidLayer(root / "sys", root / "dev");
    const OpenResult missing = hid->open(root / "dev/hidraw7");
    EXPECT_EQ(missing.device, nullptr);
    EXPECT_EQ(missing.error, OpenError::notFound);

    const OpenResult folder = hid->open(root / "dev");
    EXPECT_EQ(folder.device, nullptr);
    EXPECT_EQ(folder.error, OpenError::failed);
}

// A node with no report descriptor (here a plain file) opens, declares no
// reports, and so is never written by the exchange.
TEST_F(LinuxHidTest, NodeWithoutDescriptorDeclaresNoReports) {
    std::ofstream(root / "dev/hidraw0") << "x";
    auto hid = makeLinuxHidLayer(root / "sys", root / "dev");
    const OpenResult opened = hid->open(root / "dev/hidraw0");
    ASSERT_NE(opened.device, nullptr);
    EXPECT_EQ(opened.device->reportLengths().input, 0u);
    EXPECT_EQ(opened.device->reportLengths().output, 0u);
}

// --list names where a board is plugged in: the USB port from the resolved
// sysfs path, the serial number from the USB device or else from HID_UNIQ.
TEST_F(LinuxHidTest, DescribeReadsPortAndSerialNumber) {
    const fs::path usbDevice = root / "sys/devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1.2";
    const fs::path usbBoard = usbDevice / "1-1.2:1.0/0003:1352:0120.0001";
    fs::create_directories(usbBoard);
    std::ofstream(usbDevice / "serial") << "A1B2\n";
    std::ofstream(usbBoard / "uevent") << "HID_UNIQ=ignored\n";
    const fs::path virtualBoard = root / "sys/devices/virtual/misc/uhid/0003:1352:0121.0002";
    fs::create_directories(virtualBoard);
    std::ofstream(virtualBoard / "uevent") << "HID_NAME=sim\nHID_UNIQ=virt-7\n";
    fs::create_directories(root / "sys/class/hidraw/hidraw3");
    fs::create_directories(root / "sys/class/hidraw/hidraw4");
    fs::create_directory_symlink(usbBoard, root / "sys/class/hidraw/hidraw3/device");
    fs::create_directory_symlink(virtualBoard, root / "sys/class/hidraw/hidraw4/device");

    auto hid = makeLinuxHidLayer(root / "sys", root / "dev");
    const HidInterfaceDetails usb = hid->describe(root / "dev/hidraw3");
    EXPECT_EQ(usb.location, "1-1.2");
    EXPECT_EQ(usb.serialNumber, "A1B2");
    const HidInterfaceDetails virt = hid->describe(root / "dev/hidraw4");
    EXPECT_EQ(virt.location, "");
    EXPECT_EQ(virt.serialNumber, "virt-7");
    const HidInterfaceDetails gone = hid->describe(root / "dev/hidraw5");
    EXPECT_EQ(gone.location, "");
    EXPECT_EQ(gone.serialNumber, "");
}

// hidraw hands over unnumbered reports without the ID byte; the layer puts
// a 0 in front. A pipe stands in for the node.
TEST_F(LinuxHidTest, ReadPrefixesTheReportIdAndTimesOut) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    auto hid = makeLinuxHidLayer(root / "sys", root / "dev");
    OpenResult opened = hid->open("/proc/self/fd/" + std::to_string(fds[0]));
    ASSERT_NE(opened.device, nullptr);

    std::vector<std::uint8_t> report(64, 0xAB);
    report[63] = 0x00;
    ASSERT_EQ(::write(fds[1], report.data(), report.size()), 64);
    std::vector<std::uint8_t> buffer(kReportSize, 0xEE);
    const ReadResult read = opened.device->read(buffer, std::chrono::milliseconds(1000));
    EXPECT_EQ(read.status, ReadStatus::ok);
    EXPECT_EQ(read.length, kReportSize);
    EXPECT_EQ(buffer[0], 0x00);
    EXPECT_EQ(buffer[1], 0xAB);
    EXPECT_EQ(buffer[64], 0x00);

    EXPECT_EQ(opened.device->read(buffer, std::chrono::milliseconds(5)).status,
              ReadStatus::timedOut);
    ::close(fds[0]);
    ::close(fds[1]);
}

}  // namespace
}  // namespace usbio2
