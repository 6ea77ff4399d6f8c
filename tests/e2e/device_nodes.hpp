// Where the kernel put a virtual device: its sysfs entry and hidraw node.
// Both appear a little after the device is created and go a little after it
// is destroyed, so callers wait for them.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace e2e {

struct DeviceNode {
    std::string sysfsName;  // BBBB:VVVV:PPPP.NNNN under /sys/bus/hid/devices
    int hidrawNumber = -1;
    std::string devicePath;  // /dev/hidrawN
};

// The node of the HID device whose serial number (HID_UNIQ) is `uniq`, once
// both its sysfs entry and its /dev node exist.
std::optional<DeviceNode> waitForNode(const std::string& uniq, std::chrono::milliseconds limit);

// True once the sysfs entry and the /dev node are both gone.
bool waitForRemoval(const DeviceNode& node, std::chrono::milliseconds limit);

}  // namespace e2e
