// A HID device that is not a board, made through /dev/uhid: one of the
// keyboards, mice and other devices a machine has besides its boards. It never
// answers anything and needs no thread, like an idle device, so that having
// many of them present adds no work of their own to what is measured.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace bench {

class DecoyDevice {
  public:
    // The device exists once this returns; the kernel adds its nodes a little
    // later. `uniq` is its serial number and how its nodes are found.
    static std::unique_ptr<DecoyDevice> create(std::uint16_t vendorId, std::uint16_t productId,
                                               const std::string& uniq, std::string& error);
    DecoyDevice(const DecoyDevice&) = delete;
    DecoyDevice& operator=(const DecoyDevice&) = delete;
    // Closing /dev/uhid removes the device.
    ~DecoyDevice();

  private:
    explicit DecoyDevice(int fd) : fd_(fd) {}
    int fd_;
};

// The IDs of the n-th decoy: a spread of other vendors' devices, with now and
// then one of the boards' own vendor under another product ID.
std::uint16_t decoyVendor(int n);
std::uint16_t decoyProduct(int n);

}  // namespace bench
