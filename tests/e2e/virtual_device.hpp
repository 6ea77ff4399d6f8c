// A HID device made through /dev/uhid, which the kernel presents like one on
// USB, hidraw node included: a USB-IO2 board that answers its commands, a
// board with a fault, or a device that is no board at all.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

inline constexpr std::uint16_t kBoardVendor = 0x1352;
inline constexpr std::uint16_t kBoardProduct = 0x0120;
inline constexpr std::uint16_t kBoardProductB = 0x0121;

using Command = std::array<std::uint8_t, 64>;
using Clock = std::chrono::steady_clock;

enum class Behaviour {
    answers,        // applies each command and replies with its tag at once
    staleReport,    // has a report with another tag waiting when opened; replies after a pause
    wrongTagFirst,  // one report with another tag, a pause, then the reply
    wrongTagFlood,  // more reports with another tag than hidraw queues, a pause, the reply
    wrongTagOnly,   // only ever replies with another tag
    silent,         // applies each command and never replies
    vanishes,       // unplugged a moment after the command, before any reply
};

const char* behaviourName(Behaviour behaviour);

struct DeviceSpec {
    std::uint16_t vendorId = kBoardVendor;
    std::uint16_t productId = kBoardProduct;
    Behaviour behaviour = Behaviour::answers;
};

struct PortValues {
    std::uint8_t port1 = 0;
    std::uint8_t port2 = 0;
    bool operator==(const PortValues&) const = default;
};

// What the device saw while it existed.
struct DeviceLog {
    std::vector<Command> commands;  // output reports without the report-ID byte
    std::vector<Clock::time_point> commandTimes;
    std::optional<PortValues> ports;  // what the board drives now; none before a command
    std::vector<std::string> faults;  // reports no board would take as they came
    bool closedBeforeReply = false;   // let go of while the reply was still due
};

class VirtualDevice {
  public:
    // The device exists once this returns; the kernel adds its nodes a little
    // later. `uniq` is its serial number and how its nodes are found.
    static std::unique_ptr<VirtualDevice> create(const DeviceSpec& kind, std::string uniq,
                                                 std::string& error);
    VirtualDevice(const VirtualDevice&) = delete;
    VirtualDevice& operator=(const VirtualDevice&) = delete;
    ~VirtualDevice();

    const DeviceSpec& kind() const { return kind_; }
    const std::string& uniq() const { return uniq_; }

    // Stops playing, takes in every event the kernel still holds for the
    // device, and gives what happened. The device stays until destroyed.
    DeviceLog finish();

  private:
    VirtualDevice(int fd, DeviceSpec kind, std::string uniq);
    void serve();
    void takeEvents();
    void onOutput(const std::uint8_t* data, std::size_t size, int reportType);
    void onDue(Clock::time_point now);
    void sendInput(const Command& report);
    void destroy();

    int fd_;
    DeviceSpec kind_;
    std::string uniq_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;

    // Touched by the serving thread only, until it is joined.
    int openCount_ = 0;
    bool destroyed_ = false;
    std::optional<Clock::time_point> replyDue_;
    std::optional<Clock::time_point> vanishDue_;
    Command pendingReply_{};

    std::mutex logMutex_;
    DeviceLog log_;
};

}  // namespace e2e
