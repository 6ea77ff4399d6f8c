#include "fake_hid.hpp"

#include <algorithm>
#include <stdexcept>

namespace usbio2::testing {
namespace {

class FakeHandle final : public HidDevice {
  public:
    FakeHandle(FakeHidLayer& layer, FakeDevice& device) : layer_(layer), device_(device) {}
    ~FakeHandle() override { layer_.calls.push_back("close " + device_.path); }

    ReportLengths reportLengths() const override { return device_.lengths; }

    std::optional<HidIds> ids() const override {
        return device_.openedIds.value_or(HidIds{device_.vendorId, device_.productId});
    }

    std::optional<std::size_t> write(std::span<const std::uint8_t> report) override {
        layer_.calls.push_back("write " + device_.path);
        device_.written.emplace_back(report.begin(), report.end());
        device_.replyPending = !device_.silent;
        if (device_.writeResult) {
            return *device_.writeResult;
        }
        return report.size();
    }

    ReadResult read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) override {
        layer_.calls.push_back("read " + device_.path);
        FakeRead next;
        if (!device_.reads.empty()) {
            next = std::move(device_.reads.front());
            device_.reads.pop_front();
        } else if (device_.replyPending) {
            next.report = boardReply(device_.written.back().at(1 + kTagByte));
            device_.replyPending = false;
        } else {
            next.status = ReadStatus::timedOut;
        }
        if (next.status == ReadStatus::timedOut) {
            layer_.advance(timeout);
            return {ReadStatus::timedOut, 0};
        }
        layer_.advance(layer_.readCost);
        if (next.status == ReadStatus::failed) {
            return {ReadStatus::failed, 0};
        }
        const std::size_t length = std::min(buffer.size(), next.report.size());
        std::copy_n(next.report.begin(), length, buffer.begin());
        return {ReadStatus::ok, length};
    }

  private:
    FakeHidLayer& layer_;
    FakeDevice& device_;
};

}  // namespace

std::vector<std::uint8_t> boardReply(std::uint8_t tag) {
    std::vector<std::uint8_t> report(kReportSize, 0);
    report[1 + kTagByte] = tag;
    return report;
}

FakeDevice& FakeHidLayer::add(FakeDevice device) {
    devices_.push_back(std::move(device));
    return devices_.back();
}

FakeDevice& FakeHidLayer::addBoard(std::string path, std::uint16_t productId) {
    return addDevice(std::move(path), kBoardVendorId, productId);
}

FakeDevice& FakeHidLayer::addDevice(std::string path, std::uint16_t vendorId,
                                    std::uint16_t productId) {
    FakeDevice device;
    device.path = std::move(path);
    device.vendorId = vendorId;
    device.productId = productId;
    return add(std::move(device));
}

FakeDevice& FakeHidLayer::device(const std::string& path) {
    auto it = std::ranges::find(devices_, path, &FakeDevice::path);
    if (it == devices_.end()) {
        throw std::out_of_range("no fake device " + path);
    }
    return *it;
}

std::vector<HidInterfaceInfo> FakeHidLayer::listInterfaces(InterfaceFilter wanted) {
    calls.push_back("list");
    lastFilter = wanted;
    std::vector<HidInterfaceInfo> interfaces;
    for (const FakeDevice& device : devices_) {
        if (ignoreFilter || wanted(device.vendorId, device.productId)) {
            interfaces.push_back({device.path, device.vendorId, device.productId});
        }
    }
    return interfaces;
}

HidInterfaceDetails FakeHidLayer::describe(const std::filesystem::path& path) {
    calls.push_back("describe " + path.string());
    return device(path.string()).details;
}

OpenResult FakeHidLayer::open(const std::filesystem::path& path) {
    calls.push_back("open " + path.string());
    FakeDevice& target = device(path.string());
    if (target.openError) {
        return {nullptr, *target.openError};
    }
    return {std::make_unique<FakeHandle>(*this, target), OpenError::failed};
}

}  // namespace usbio2::testing
