// Making a HID device through /dev/uhid: what the virtual boards and the
// benchmark's decoy devices share.
#pragma once

#include <linux/uhid.h>

#include <cstdint>
#include <span>
#include <string>

namespace e2e {

struct UhidDeviceSpec {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string name;
    std::string phys;
    std::string uniq;  // the serial number, and how the device's nodes are found
    std::span<const std::uint8_t> reportDescriptor;
};

// Opens /dev/uhid (non-blocking) and creates a USB HID device on it. The
// descriptor the device now lives on, or -1 with `error` set; closing the
// descriptor removes the device.
int createUhidDevice(const UhidDeviceSpec& kind, std::string& error);

uhid_event blankEvent(std::uint32_t type);

bool writeEvent(int fd, const uhid_event& event);

}  // namespace e2e
