// The Linux HID layer (hidraw and sysfs), with its roots open to tests.
#pragma once

#include <filesystem>
#include <memory>

#include "board/hid_layer.hpp"

namespace usbio2 {

// `sysRoot` stands for /sys and `devRoot` for /dev.
std::unique_ptr<HidLayer> makeLinuxHidLayer(std::filesystem::path sysRoot,
                                            std::filesystem::path devRoot);

}  // namespace usbio2
