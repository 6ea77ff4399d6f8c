#include "board/sysfs_names.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace usbio2 {
namespace {

TEST(ParseHidDeviceName, ReadsBusVendorAndProduct) {
    const auto board = parseHidDeviceName("0003:1352:0120.0001");
    ASSERT_TRUE(board);
    EXPECT_EQ(board->bus, 0x0003);
    EXPECT_EQ(board->vendorId, 0x1352);
    EXPECT_EQ(board->productId, 0x0120);

    const auto other = parseHidDeviceName("0005:046D:B33A.00FF");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->bus, 0x0005);
    EXPECT_EQ(other->vendorId, 0x046D);
    EXPECT_EQ(other->productId, 0xB33A);

    // Lower-case digits, and a device number past 0xFFFF after many plug-ins.
    const auto lower = parseHidDeviceName("0003:046d:c07f.1a000000");
    ASSERT_TRUE(lower);
    EXPECT_EQ(lower->vendorId, 0x046D);
    EXPECT_EQ(lower->productId, 0xC07F);
}

TEST(ParseHidDeviceName, RejectsOtherNames) {
    for (const char* name : {"",
                             ".",
                             "..",
                             "uevent",
                             "0003:1352:0120",
                             "0003:1352.0001",
                             "0003:1352:0120.",
                             "0003:1352:0120.xyz",
                             "0003:13520:0120.0001",
                             "0003:1352:-120.0001",
                             "0003::0120.0001",
                             "0003:1352:0120:0001.0001",
                             "0003:1352:012G.0001",
                             "0003:1352:012g.0001",
                             "0003:1352:0/20.0001",
                             "0003:1352:0@20.0001",
                             "0003:1352:0`20.0001",
                             "0003:1352:0 20.0001",
                             "0003:1352:0120.123456789",
                             "0003:000001352:0120.0001"}) {
        EXPECT_FALSE(parseHidDeviceName(name)) << name;
    }
}

TEST(ParseUeventHidId, FindsTheLineAmongOthers) {
    const std::string uevent =
        "DRIVER=hid-generic\n"
        "HID_ID=0003:00001352:00000121\n"
        "HID_NAME=Vendor Board\n"
        "HID_PHYS=usb-0000:00:14.0-1.2/input0\n"
        "MODALIAS=hid:b0003g0001v00001352p00000121\n";
    const auto id = parseUeventHidId(uevent);
    ASSERT_TRUE(id);
    EXPECT_EQ(id->bus, 3);
    EXPECT_EQ(id->vendorId, 0x1352);
    EXPECT_EQ(id->productId, 0x0121);

    const auto last = parseUeventHidId("A=1\nHID_ID=0018:000004F3:00003195");
    ASSERT_TRUE(last);
    EXPECT_EQ(last->productId, 0x3195);
}

TEST(ParseUeventHidId, RejectsMissingOrOutOfRangeIds) {
    for (const char* uevent : {"", "DRIVER=hid-generic\n", "XHID_ID=0003:00001352:00000120\n",
                               "HID_ID=0003:00011352:00000120\n", "HID_ID=0003:1352\n",
                               "HID_ID=0003:00001352:00000120x\n"}) {
        EXPECT_FALSE(parseUeventHidId(uevent)) << uevent;
    }
}

TEST(FindUeventField, MatchesWholeKeysOnly) {
    const std::string uevent = "HID_UNIQ=\nHID_NAME=Board\nHID_UNIQ2=x\nHID_PHYS=usb-1/input0";
    EXPECT_EQ(findUeventField(uevent, "HID_NAME"), std::optional<std::string_view>("Board"));
    EXPECT_EQ(findUeventField(uevent, "HID_UNIQ"), std::optional<std::string_view>(""));
    EXPECT_EQ(findUeventField(uevent, "HID_PHYS"), std::optional<std::string_view>("usb-1/input0"));
    EXPECT_FALSE(findUeventField(uevent, "HID"));
    EXPECT_FALSE(findUeventField(uevent, "DRIVER"));
}

TEST(UsbPortOf, TakesThePortOfTheUsbInterface) {
    struct Case {
        const char* folder;
        const char* port;
    };
    for (const Case& c : {
             Case{"/sys/devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1.2/1-1.2:1.0/"
                  "0003:1352:0120.0001",
                  "1-1.2"},
             Case{"/sys/devices/pci0000:00/0000:00:14.0/usb3/3-4/3-4:1.1/0003:1352:0121.000A/",
                  "3-4"},
             Case{"/sys/devices/virtual/misc/uhid/0003:1352:0120.0001", ""},
             Case{"/sys/devices/platform/i8042/serio1/0018:04F3:3195.0002", ""},
             Case{"/sys/devices/pci0000:00/0000:00:14.0/usb1/1-0:1.0/0003:1352:0120.0001", "1-0"},
             Case{"/sys/devices/pci0000:00/usb1/usb1:1.0/0003:1352:0120.0001", ""},
             Case{"0003:1352:0120.0001", ""},
             Case{"", ""},
         }) {
        EXPECT_EQ(usbPortOf(c.folder), c.port) << c.folder;
    }
}

TEST(ParseHidrawNumber, TakesOnlyWholeNodeNames) {
    EXPECT_EQ(parseHidrawNumber("hidraw0"), 0u);
    EXPECT_EQ(parseHidrawNumber("hidraw63"), 63u);
    for (const char* name : {"hidraw", "hidraw-1", "hidraw1a", "hid1", "xhidraw1", ".", ""}) {
        EXPECT_FALSE(parseHidrawNumber(name)) << name;
    }
}

}  // namespace
}  // namespace usbio2
