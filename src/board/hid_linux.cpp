// Linux: HID devices are found in sysfs without opening any of them, and
// boards are reached through their hidraw nodes.
#include "board/hid_linux.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
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

// `path` is taken relative to the open folder `folderFd`, or to the current
// folder for AT_FDCWD.
std::optional<std::string> readSmallFile(int folderFd, const char* path) {
    FileDescriptor fd(::openat(folderFd, path, O_RDONLY | O_CLOEXEC));
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

std::optional<std::string> readSmallFile(const std::string& path) {
    return readSmallFile(AT_FDCWD, path.c_str());
}

// Hands the name of each entry of an open folder to `visit` until it returns
// false. The names are read straight out of the kernel's records in a buffer
// on the stack: with dozens of HID devices present, an allocation or a
// string per entry would cost more than the folder read itself.
template <std::size_t BufferSize, typename Visit>
void forEachName(int folderFd, Visit visit) {
    alignas(8) char records[BufferSize];
    for (;;) {
        const ssize_t filled = ::getdents64(folderFd, records, sizeof records);
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

// `name`/`leaf`, for a HID device's entry and a file or folder inside it;
// empty if that would not fit, which no name the kernel gives does.
std::array<char, NAME_MAX + 16> entryPath(std::string_view name, std::string_view leaf) {
    std::array<char, NAME_MAX + 16> path{};
    if (name.size() + 1 + leaf.size() < path.size()) {
        std::memcpy(path.data(), name.data(), name.size());
        path[name.size()] = '/';
        std::memcpy(path.data() + name.size() + 1, leaf.data(), leaf.size());
    }
    return path;
}

// The hidraw node in the folder of the HID device `name` of the open folder
// of all HID devices, if it has one. Reached from that folder rather than by
// its full path, which costs the kernel a walk from the root through sysfs.
std::optional<unsigned> findHidrawNumber(int devicesFd, std::string_view name) {
    FileDescriptor folder(
        ::openat(devicesFd, entryPath(name, "hidraw").data(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::optional<unsigned> number;
    if (folder.get() >= 0) {
        // It holds ".", ".." and the node alone.
        forEachName<256>(folder.get(), [&](std::string_view entry) {
            number = parseHidrawNumber(entry);
            return !number;
        });
    }
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
    // The roots are kept as plain strings: every std::filesystem::path made
    // or joined is split into components on the heap, which cost a run as
    // much as the rest of discovery.
    LinuxHidLayer(std::string sysRoot, std::string devRoot)
        : sysRoot_(std::move(sysRoot)),
          devicesFolder_(sysRoot_ + "/bus/hid/devices"),
          devRoot_(std::move(devRoot)) {}

    std::vector<HidInterfaceInfo> listInterfaces(InterfaceFilter wanted) override {
        // Each entry's name carries bus, vendor and product, so one directory
        // read identifies every HID device; only the wanted ones cost more.
        std::vector<std::pair<unsigned, HidInterfaceInfo>> found;
        FileDescriptor devices(::open(devicesFolder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (devices.get() < 0) {
            return {};
        }
        // 1 KiB holds some 25 entries a read. A buffer of a page or more
        // takes the stack into a page of its own, and the page fault costs
        // more than the extra reads even with dozens of devices present.
        forEachName<1024>(devices.get(), [&](std::string_view name) {
            if (name.front() == '.') {
                return true;
            }
            std::optional<HidIdentity> identity = parseHidDeviceName(name);
            if (!identity) {
                if (auto uevent = readSmallFile(devices.get(), entryPath(name, "uevent").data())) {
                    identity = parseUeventHidId(*uevent);
                }
            }
            if (!identity || !wanted(identity->vendorId, identity->productId)) {
                return true;
            }
            if (auto number = findHidrawNumber(devices.get(), name)) {
                found.emplace_back(*number,
                                   HidInterfaceInfo{devRoot_ + "/hidraw" + std::to_string(*number),
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
            std::filesystem::path(sysRoot_) / "class/hidraw" / path.filename() / "device", error);
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
    std::string sysRoot_;
    std::string devicesFolder_;
    std::string devRoot_;
};

}  // namespace

std::unique_ptr<HidLayer> makeLinuxHidLayer(std::filesystem::path sysRoot,
                                            std::filesystem::path devRoot) {
    return std::make_unique<LinuxHidLayer>(sysRoot.native(), devRoot.native());
}

std::unique_ptr<HidLayer> makeSystemHidLayer() {
    return std::make_unique<LinuxHidLayer>("/sys", "/dev");
}

}  // namespace usbio2
