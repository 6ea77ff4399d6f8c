// Reading HID identities out of Linux sysfs names and files. Plain text
// functions, kept apart from the backend so they are tested on their own.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace usbio2 {

struct HidIdentity {
    std::uint16_t bus = 0;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

// A HID device's sysfs name, "BBBB:VVVV:PPPP.NNNN" in hexadecimal.
std::optional<HidIdentity> parseHidDeviceName(std::string_view name);

// The "HID_ID=BBBB:VVVVVVVV:PPPPPPPP" line of a HID device's uevent file.
std::optional<HidIdentity> parseUeventHidId(std::string_view uevent);

// The value of one "KEY=value" line of a uevent file.
std::optional<std::string_view> findUeventField(std::string_view uevent, std::string_view key);

// The USB port path ("1-1.2") of a HID device, from the resolved sysfs path
// of its folder (".../1-1/1-1.2/1-1.2:1.0/0003:1352:0120.0001"); empty when
// the device does not hang off a USB interface.
std::string_view usbPortOf(std::string_view hidDeviceFolder);

// N of a "hidrawN" node name.
std::optional<unsigned> parseHidrawNumber(std::string_view name);

}  // namespace usbio2
