#include "virtual_device.hpp"

#include "uhid_device.hpp"

#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace e2e {
namespace {

using namespace std::chrono_literals;

// Vendor-defined: one 64-byte input and one 64-byte output report, no report
// IDs, so hidraw passes both through untouched.
constexpr std::uint8_t kReportDescriptor[] = {
    0x06, 0x00, 0xFF,  // Usage Page (vendor 0xFF00)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x40,        //   Report Count (64)
    0x09, 0x02,        //   Usage (2)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x09, 0x03,        //   Usage (3)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0xC0,              // End Collection
};

constexpr std::size_t kTagByte = 63;

// hidraw keeps at most 63 reports per reader and drops newer ones, so this
// many leaves the tool a full queue of them with the reply still to come.
constexpr int kFloodReports = 100;
constexpr auto kReplyPause = 150ms;
constexpr auto kVanishDelay = 200ms;

std::string describeReport(const std::uint8_t* data, std::size_t size) {
    std::string text = std::to_string(size) + " bytes:";
    static const char kHex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < std::min<std::size_t>(size, 8); ++i) {
        text += ' ';
        text += kHex[data[i] >> 4];
        text += kHex[data[i] & 0xF];
    }
    return size > 8 ? text + " ..." : text;
}

}  // namespace

const char* behaviourName(Behaviour behaviour) {
    switch (behaviour) {
        case Behaviour::answers:
            return "answers";
        case Behaviour::staleReport:
            return "stale report";
        case Behaviour::wrongTagFirst:
            return "wrong tag first";
        case Behaviour::wrongTagFlood:
            return "wrong-tag flood";
        case Behaviour::wrongTagOnly:
            return "wrong tag only";
        case Behaviour::silent:
            return "silent";
        case Behaviour::vanishes:
            return "vanishes";
    }
    return "?";
}

std::unique_ptr<VirtualDevice> VirtualDevice::create(const DeviceSpec& kind, std::string uniq,
                                                     std::string& error) {
    const int fd = createUhidDevice({.vendorId = kind.vendorId,
                                     .productId = kind.productId,
                                     .name = "Virtual USB-IO2 " + uniq,
                                     .phys = "usbio2-e2e/" + uniq,
                                     .uniq = uniq,
                                     .reportDescriptor = kReportDescriptor},
                                    error);
    if (fd < 0) {
        return nullptr;
    }
    std::unique_ptr<VirtualDevice> device(new VirtualDevice(fd, kind, std::move(uniq)));
    device->thread_ = std::thread([raw = device.get()] { raw->serve(); });
    return device;
}

VirtualDevice::VirtualDevice(int fd, DeviceSpec kind, std::string uniq)
    : fd_(fd), kind_(kind), uniq_(std::move(uniq)) {}

VirtualDevice::~VirtualDevice() {
    stopping_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    destroy();
    ::close(fd_);
}

DeviceLog VirtualDevice::finish() {
    stopping_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    // Whatever the tool did reached the queue before it exited.
    takeEvents();
    std::lock_guard lock(logMutex_);
    if (replyDue_ && openCount_ == 0) {
        log_.closedBeforeReply = true;
    }
    return log_;
}

void VirtualDevice::serve() {
    while (!stopping_) {
        auto wait = std::chrono::milliseconds(50);
        for (const auto& due : {replyDue_, vanishDue_}) {
            if (due) {
                wait = std::min(wait,
                                std::chrono::ceil<std::chrono::milliseconds>(*due - Clock::now()));
            }
        }
        pollfd wanted{fd_, POLLIN, 0};
        ::poll(&wanted, 1, static_cast<int>(std::max<std::int64_t>(wait.count(), 0)));
        takeEvents();
        onDue(Clock::now());
    }
}

void VirtualDevice::takeEvents() {
    for (;;) {
        uhid_event event;
        const ssize_t n = ::read(fd_, &event, sizeof event);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        switch (event.type) {
            case UHID_OPEN:
                ++openCount_;
                if (kind_.behaviour == Behaviour::staleReport) {
                    Command stale{};
                    stale[kTagByte] = 0x05;
                    sendInput(stale);
                }
                break;
            case UHID_CLOSE:
                --openCount_;
                break;
            case UHID_OUTPUT:
                onOutput(event.u.output.data, event.u.output.size, event.u.output.rtype);
                break;
            case UHID_GET_REPORT: {
                // The board has no feature reports; say so rather than leave
                // the asker waiting for the kernel's time-out.
                uhid_event reply = blankEvent(UHID_GET_REPORT_REPLY);
                reply.u.get_report_reply.id = event.u.get_report.id;
                reply.u.get_report_reply.err = EIO;
                writeEvent(fd_, reply);
                break;
            }
            case UHID_SET_REPORT: {
                uhid_event reply = blankEvent(UHID_SET_REPORT_REPLY);
                reply.u.set_report_reply.id = event.u.set_report.id;
                reply.u.set_report_reply.err = EIO;
                writeEvent(fd_, reply);
                break;
            }
            default:
                break;
        }
    }
}

void VirtualDevice::onOutput(const std::uint8_t* data, std::size_t size, int reportType) {
    std::lock_guard lock(logMutex_);
    // hidraw passes on the report-ID byte it was given; a USB link would not
    // carry it for a device without numbered reports.
    if (reportType != UHID_OUTPUT_REPORT || size != 65 || data[0] != 0x00) {
        log_.faults.push_back("malformed output report (type " + std::to_string(reportType) + ", " +
                              describeReport(data, size) + ")");
        return;
    }
    Command command;
    std::copy_n(data + 1, command.size(), command.begin());
    log_.commands.push_back(command);
    log_.commandTimes.push_back(Clock::now());
    if (command[0] == 0x20 && command[1] == 0x01 && command[3] == 0x02) {
        log_.ports = PortValues{command[2], command[4]};
    } else {
        log_.faults.push_back("unknown command " + describeReport(command.data(), 64));
    }

    Command reply = command;
    Command wrong = command;
    wrong[kTagByte] = static_cast<std::uint8_t>(command[kTagByte] + 0x05);
    switch (kind_.behaviour) {
        case Behaviour::answers:
            sendInput(reply);
            break;
        case Behaviour::staleReport:
            pendingReply_ = reply;
            replyDue_ = Clock::now() + kReplyPause;
            break;
        case Behaviour::wrongTagFirst:
            sendInput(wrong);
            pendingReply_ = reply;
            replyDue_ = Clock::now() + kReplyPause;
            break;
        case Behaviour::wrongTagFlood:
            for (int i = 0; i < kFloodReports; ++i) {
                wrong[5] = static_cast<std::uint8_t>(i);
                sendInput(wrong);
            }
            pendingReply_ = reply;
            replyDue_ = Clock::now() + kReplyPause;
            break;
        case Behaviour::wrongTagOnly:
            sendInput(wrong);
            break;
        case Behaviour::silent:
            break;
        case Behaviour::vanishes:
            vanishDue_ = Clock::now() + kVanishDelay;
            break;
    }
}

void VirtualDevice::onDue(Clock::time_point now) {
    if (replyDue_ && now >= *replyDue_) {
        replyDue_.reset();
        if (openCount_ == 0) {
            std::lock_guard lock(logMutex_);
            log_.closedBeforeReply = true;
        } else {
            sendInput(pendingReply_);
        }
    }
    if (vanishDue_ && now >= *vanishDue_) {
        vanishDue_.reset();
        destroy();
    }
}

void VirtualDevice::sendInput(const Command& report) {
    uhid_event event = blankEvent(UHID_INPUT2);
    event.u.input2.size = static_cast<std::uint16_t>(report.size());
    std::copy(report.begin(), report.end(), event.u.input2.data);
    writeEvent(fd_, event);
}

void VirtualDevice::destroy() {
    if (!destroyed_) {
        destroyed_ = true;
        writeEvent(fd_, blankEvent(UHID_DESTROY));
    }
}

}  // namespace e2e
