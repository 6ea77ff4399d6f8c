// Linux: HID devices are found in sysfs without opening any of them, and
// boards are reached through their hidraw nodes.
#include "board/hid_linux.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "board/report_descriptor.hpp"
#include "board/sysfs_names.hpp"

namespace usbio2 {
namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

std::optional<std::string> readSmallFile(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        return std::nullopt;
    }
    std::string text(4096, '\0');
    const ssize_t n = ::read(fd.get(), text.data(), text.size());
    if (n < 0) {
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(n));
    return text;
}

// Hands the name of each entry of a directory to `visit` until it returns
// false. The names are read straight out of the kernel's records in a buffer
// on the stack: with dozens of HID devices present, an allocation or a
// string per entry would cost more than the directory read itself.
template <typename Visit>
void forEachName(const char* folder, Visit visit) {
    FileDescriptor dir(::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0) {
        return;
    }
    alignas(8) char records[4096];
    for (;;) {
        const ssize_t filled = ::getdents64(dir.get(), records, sizeof records);
        if (filled <= 0) {
            return;
        }
        for (ssize_t at = 0; at < filled;) {
            unsigned short length = 0;
            std::memcpy(&length, records + at + offsetof(dirent64, d_reclen), sizeof length);
            if (!visit(std::string_view(records + at + offsetof(dirent64, d_name)))) {
                return;
            }
            at += length;
        }
    }
}

// The hidraw node under a HID device's sysfs folder, if it has one.
std::optional<unsigned> findHidrawNumber(const std::string& deviceFolder) {
    std::optional<unsigned> number;
    forEachName((deviceFolder + "/hidraw").c_str(), [&](std::string_view name) {
        number = parseHidrawNumber(name);
        return !number;
    });
    return number;
}

OpenError openErrorFor(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return OpenError::accessDenied;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return OpenError::notFound;
        case EBUSY:
            return OpenError::busy;
        default:
            return OpenError::failed;
    }
}

class HidrawDevice final : public HidDevice {
  public:
    HidrawDevice(int fd, DescriptorSummary summary) : fd_(fd), summary_(summary) {}

    ReportLengths reportLengths() const override { return summary_.lengths; }

    std::optional<HidIds> ids() const override {
        hidraw_devinfo info{};
        if (::ioctl(fd_.get(), HIDIOCGRAWINFO, &info) != 0) {
            return std::nullopt;
        }
        return HidIds{static_cast<std::uint16_t>(info.vendor),
                      static_cast<std::uint16_t>(info.product)};
    }

    std::optional<std::size_t> write(std::span<const std::uint8_t> report) override {
        // hidraw takes the leading byte as the report number, 0 for a device
        // without numbered reports, just as Windows does.
        for (;;) {
            const ssize_t n = ::write(fd_.get(), report.data(), report.size());
            if (n >= 0) {
                return static_cast<std::size_t>(n);
            }
            if (errno != EINTR) {
                return std::nullopt;
            }
        }
    }

    ReadResult read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) override {
        if (buffer.empty()) {
            return {ReadStatus::failed, 0};
        }
        pollfd wanted{fd_.get(), POLLIN, 0};
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        int ready;
        for (;;) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            ready = ::poll(&wanted, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
            if (ready >= 0 || errno != EINTR) {
                break;
            }
        }
        if (ready == 0) {
            return {ReadStatus::timedOut, 0};
        }
        if (ready < 0) {
            return {ReadStatus::failed, 0};
        }
        if ((wanted.revents & POLLIN) == 0) {
            return {ReadStatus::failed, 0};  // POLLERR, POLLHUP: the board is gone
        }
        // hidraw hands over an unnumbered report without a report-ID byte;
        // put a 0 in front so every platform frames reports alike.
        const std::size_t offset = summary_.numberedReports ? 0 : 1;
        ssize_t n;
        do {
            n = ::read(fd_.get(), buffer.data() + offset, buffer.size() - offset);
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            return {ReadStatus::failed, 0};
        }
        if (offset == 1) {
            buffer[0] = 0x00;
        }
        return {ReadStatus::ok, static_cast<std::size_t>(n) + offset};
    }

  private:
    FileDescriptor fd_;
    DescriptorSummary summary_;
};

class LinuxHidLayer final : public HidLayer {
  public:
    LinuxHidLayer(std::filesystem::path sysRoot, std::filesystem::path devRoot)
        : sysRoot_(std::move(sysRoot)),
          devicesFolder_((sysRoot_ / "bus/hid/devices").string()),
          devRoot_(std::move(devRoot)) {}

    std::vector<HidInterfaceInfo> listInterfaces(InterfaceFilter wanted) override {
        // Each entry's name carries bus, vendor and product, so one directory
        // read identifies every HID device; only the wanted ones cost more.
        std::vector<std::pair<unsigned, HidInterfaceInfo>> found;
        forEachName(devicesFolder_.c_str(), [&](std::string_view name) {
            if (name.front() == '.') {
                return true;
            }
            std::optional<HidIdentity> identity = parseHidDeviceName(name);
            if (!identity) {
                if (auto uevent = readSmallFile(folderOf(name) + "/uevent")) {
                    identity = parseUeventHidId(*uevent);
                }
            }
            if (!identity || !wanted(identity->vendorId, identity->productId)) {
                return true;
            }
            if (auto number = findHidrawNumber(folderOf(name))) {
                found.emplace_back(*number,
                                   HidInterfaceInfo{devRoot_ / ("hidraw" + std::to_string(*number)),
                                                    identity->vendorId, identity->productId});
            }
            return true;
        });
        // The platform's order is that of the nodes: hidraw10 after hidraw9.
        std::ranges::sort(found, {}, &std::pair<unsigned, HidInterfaceInfo>::first);
        std::vector<HidInterfaceInfo> interfaces;
        interfaces.reserve(found.size());
        for (auto& [number, info] : found) {
            interfaces.push_back(std::move(info));
        }
        return interfaces;
    }

    OpenResult open(const std::filesystem::path& path) override {
        const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) {
            return {nullptr, openErrorFor(errno)};
        }
        FileDescriptor owner(fd);
        // Without a readable descriptor the lengths stay 0 and the exchange
        // refuses to send, rather than guessing at the device's reports.
        DescriptorSummary summary;
        int size = 0;
        if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) == 0 && size > 0) {
            hidraw_report_descriptor descriptor{};
            descriptor.size = static_cast<__u32>(std::min<int>(size, HID_MAX_DESCRIPTOR_SIZE));
            if (::ioctl(fd, HIDIOCGRDESC, &descriptor) == 0) {
                if (auto parsed = summarizeReportDescriptor({descriptor.value, descriptor.size})) {
                    summary = *parsed;
                }
            }
        }
        return {std::make_unique<HidrawDevice>(owner.release(), summary), OpenError::failed};
    }

    HidInterfaceDetails describe(const std::filesystem::path& path) override {
        HidInterfaceDetails details;
        std::error_code error;
        const std::filesystem::path folder = std::filesystem::canonical(
            sysRoot_ / "class/hidraw" / path.filename() / "device", error);
        if (error) {
            return details;
        }
        details.location = usbPortOf(folder.native());
        // A USB device keeps its serial number beside its interfaces; the HID
        // layer repeats it as HID_UNIQ, which virtual devices have too.
        std::optional<std::string> serial;
        if (!details.location.empty()) {
            serial = readSmallFile((folder.parent_path().parent_path() / "serial").native());
        }
        if (!serial || serial->empty()) {
            if (auto uevent = readSmallFile((folder / "uevent").native())) {
                serial = std::string(findUeventField(*uevent, "HID_UNIQ").value_or(""));
            }
        }
        if (serial) {
            while (!serial->empty() && (serial->back() == '\n' || serial->back() == ' ')) {
                serial->pop_back();
            }
            details.serialNumber = std::move(*serial);
        }
        return details;
    }

  private:
    std::string folderOf(std::string_view deviceName) const {
        std::string folder = devicesFolder_;
        folder += '/';
        folder += deviceName;
        return folder;
    }

    std::filesystem::path sysRoot_;
    std::string devicesFolder_;
    std::filesystem::path devRoot_;
};

}  // namespace

std::unique_ptr<HidLayer> makeLinuxHidLayer(std::filesystem::path sysRoot,
                                            std::filesystem::path devRoot) {
    return std::make_unique<LinuxHidLayer>(std::move(sysRoot), std::move(devRoot));
}

std::unique_ptr<HidLayer> makeSystemHidLayer() { return makeLinuxHidLayer("/sys", "/dev"); }

}  // namespace usbio2
