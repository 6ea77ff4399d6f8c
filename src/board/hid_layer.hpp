// The tool's only door to the operating system's HID support: list the HID
// interfaces, open one, and move reports through it with a time limit.
// Abstract so that the board code above it runs against a fake in tests; each
// OS has one implementation, picked by the build.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace usbio2 {

struct HidInterfaceInfo {
    std::filesystem::path path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

// Says which interfaces the caller wants, so a backend can skip the costly
// part of listing (finding a node, opening a probe) for all the others.
using InterfaceFilter = bool (*)(std::uint16_t vendorId, std::uint16_t productId);

// Report lengths as Windows counts them: the longest report of each direction
// plus one byte for the report ID.
struct ReportLengths {
    std::size_t input = 0;
    std::size_t output = 0;
};

enum class ReadStatus { ok, timedOut, failed };

struct ReadResult {
    ReadStatus status = ReadStatus::failed;
    std::size_t length = 0;  // bytes placed in the buffer, report-ID byte included
};

enum class OpenError { notFound, accessDenied, busy, failed };

struct HidIds {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

// One open HID interface; closed when destroyed.
class HidDevice {
  public:
    virtual ~HidDevice() = default;

    virtual ReportLengths reportLengths() const = 0;

    // The IDs of the device actually opened, asked of the device itself, so
    // that a node handed to another device since it was listed is never
    // written. Nothing where the device will not say.
    virtual std::optional<HidIds> ids() const = 0;

    // Writes one output report (report-ID byte first); gives the number of
    // bytes the OS accepted, or nothing when the write failed.
    virtual std::optional<std::size_t> write(std::span<const std::uint8_t> report) = 0;

    // Reads one input report into `buffer`, report-ID byte first on every OS,
    // waiting at most `timeout`.
    virtual ReadResult read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) = 0;
};

// Where an interface is plugged in and its serial number, in UTF-8, for
// people to tell boards apart; each empty where the platform does not say.
struct HidInterfaceDetails {
    std::string location;
    std::string serialNumber;
};

struct OpenResult {
    std::unique_ptr<HidDevice> device;  // null on failure
    OpenError error = OpenError::failed;
};

class HidLayer {
  public:
    using Clock = std::chrono::steady_clock;

    virtual ~HidLayer() = default;

    // The HID interfaces present whose IDs pass `wanted`, in the platform's
    // own stable order. Interfaces whose IDs cannot be learned are left out.
    virtual std::vector<HidInterfaceInfo> listInterfaces(InterfaceFilter wanted) = 0;

    virtual OpenResult open(const std::filesystem::path& path) = 0;

    // Only for listing boards to a person; a run never asks.
    virtual HidInterfaceDetails describe(const std::filesystem::path& path) = 0;

    // The clock that report time limits are measured against.
    virtual Clock::time_point now() { return Clock::now(); }
};

// The implementation for the platform this build targets.
std::unique_ptr<HidLayer> makeSystemHidLayer();

}  // namespace usbio2
