#include "uhid_device.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace e2e {
namespace {

constexpr std::uint16_t kBusUsb = 3;

template <std::size_t N>
void copyText(std::uint8_t (&field)[N], const std::string& text) {
    std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

}  // namespace

uhid_event blankEvent(std::uint32_t type) {
    uhid_event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    return event;
}

bool writeEvent(int fd, const uhid_event& event) {
    for (;;) {
        const ssize_t n = ::write(fd, &event, sizeof event);
        if (n == static_cast<ssize_t>(sizeof event)) {
            return true;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return false;
    }
}

int createUhidDevice(const UhidDeviceSpec& kind, std::string& error) {
    const int fd = ::open("/dev/uhid", O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = std::string("cannot open /dev/uhid: ") + std::strerror(errno);
        return -1;
    }
    uhid_event event = blankEvent(UHID_CREATE2);
    auto& request = event.u.create2;
    copyText(request.name, kind.name);
    copyText(request.phys, kind.phys);
    copyText(request.uniq, kind.uniq);
    request.rd_size =
        static_cast<std::uint16_t>(std::min(kind.reportDescriptor.size(), sizeof request.rd_data));
    request.bus = kBusUsb;
    request.vendor = kind.vendorId;
    request.product = kind.productId;
    std::memcpy(request.rd_data, kind.reportDescriptor.data(), request.rd_size);
    if (!writeEvent(fd, event)) {
        error = std::string("UHID_CREATE2 failed: ") + std::strerror(errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace e2e
