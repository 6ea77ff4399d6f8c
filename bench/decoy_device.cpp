#include "decoy_device.hpp"

#include <unistd.h>

#include <array>

#include "uhid_device.hpp"

namespace bench {
namespace {

// A vendor-defined collection with one 8-byte input report: hid-generic gives
// it a hidraw node, and no input handler takes it, so it never sends the
// device output events that would pile up unread.
constexpr std::uint8_t kReportDescriptor[] = {
    0x06, 0x00, 0xFF,  // Usage Page (vendor 0xFF00)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x08,        //   Report Count (8)
    0x09, 0x02,        //   Usage (2)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0xC0,              // End Collection
};

constexpr std::uint16_t kBoardVendor = 0x1352;

}  // namespace

std::unique_ptr<DecoyDevice> DecoyDevice::create(std::uint16_t vendorId, std::uint16_t productId,
                                                 const std::string& uniq, std::string& error) {
    const int fd = e2e::createUhidDevice({.vendorId = vendorId,
                                          .productId = productId,
                                          .name = "Decoy HID device " + uniq,
                                          .phys = "usbio2-bench/" + uniq,
                                          .uniq = uniq,
                                          .reportDescriptor = kReportDescriptor},
                                         error);
    if (fd < 0) {
        return nullptr;
    }
    return std::unique_ptr<DecoyDevice>(new DecoyDevice(fd));
}

DecoyDevice::~DecoyDevice() { ::close(fd_); }

std::uint16_t decoyVendor(int n) {
    // Logitech, Microsoft, Dell, Lenovo, Razer, Cherry, and the boards' vendor.
    constexpr std::array<std::uint16_t, 7> kVendors = {0x046D, 0x045E, 0x413C,      0x17EF,
                                                       0x1532, 0x046A, kBoardVendor};
    return kVendors[static_cast<std::size_t>(n) % kVendors.size()];
}

std::uint16_t decoyProduct(int n) {
    // Never 0x0120 or 0x0121, so a decoy of the boards' vendor is still no board.
    return static_cast<std::uint16_t>(0xC000 + n);
}

}  // namespace bench
