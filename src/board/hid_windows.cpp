// Windows: HID interfaces are found through SetupAPI, identified by opening
// each one briefly, and boards are reached through their device paths with
// overlapped I/O, so that no transfer waits longer than it is allowed to.
#include <windows.h>
// windows.h first: the headers below rely on its types.
#include <cfgmgr32.h>
#include <initguid.h>
// initguid.h before devpkey.h, so the property keys are defined here and no
// import library has to provide them.
#include <devpkey.h>
#include <setupapi.h>
extern "C" {
// MinGW's HID headers have no extern "C" of their own. hidsdi.h brings
// hidpi.h and hidusage.h along, in the order they need.
#include <hidsdi.h>
}

#include <algorithm>
#include <array>
#include <cstddef>
#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "board/hid_layer.hpp"
#include "board/win32_handle.hpp"
#include "board/win32_overlapped.hpp"

namespace usbio2 {
namespace {

using win32::UniqueHandle;

// A board takes an output report within milliseconds; one that has not taken
// it within the time a reply may take is not going to.
constexpr std::chrono::milliseconds kWriteTimeLimit{1000};

// ERROR_NO_SUCH_DEVICE, which MinGW's winerror.h lacks.
constexpr DWORD kErrorNoSuchDevice = 433;

// How far up the device tree to look for where an interface is plugged in:
// HID collection, USB interface, USB device, with room for a hub's quirks.
constexpr int kLocationSearchDepth = 4;

class DeviceInfoSet {
  public:
    explicit DeviceInfoSet(HDEVINFO set) : set_(set) {}
    DeviceInfoSet(const DeviceInfoSet&) = delete;
    DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;
    ~DeviceInfoSet() {
        if (*this) {
            ::SetupDiDestroyDeviceInfoList(set_);
        }
    }
    explicit operator bool() const { return set_ != INVALID_HANDLE_VALUE; }
    HDEVINFO get() const { return set_; }

  private:
    HDEVINFO set_;
};

struct PreparsedData {
    PHIDP_PREPARSED_DATA data = nullptr;
    ~PreparsedData() {
        if (data != nullptr) {
            ::HidD_FreePreparsedData(data);
        }
    }
};

std::string toUtf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return {};
    }
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), size, nullptr, nullptr);
    return out;
}

// The device path of one interface, asked for in two calls: the first gives
// the size of the variable-length detail record, the second fills it.
std::optional<std::wstring> interfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& interfaceData,
                                          SP_DEVINFO_DATA* deviceData = nullptr) {
    DWORD required = 0;
    ::SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, nullptr, 0, &required, nullptr);
    const std::size_t bytes =
        std::max<std::size_t>(required, sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W));
    // Whole DWORDs keep the record aligned as its cbSize member needs.
    std::vector<DWORD> storage((bytes + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!::SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, detail,
                                            static_cast<DWORD>(storage.size() * sizeof(DWORD)),
                                            nullptr, deviceData)) {
        return std::nullopt;
    }
    const std::size_t room =
        (storage.size() * sizeof(DWORD) - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) /
        sizeof(wchar_t);
    return std::wstring(detail->DevicePath, ::wcsnlen(detail->DevicePath, room));
}

std::optional<HidIds> attributesOf(HANDLE device) {
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof(attributes);
    if (!::HidD_GetAttributes(device, &attributes)) {
        return std::nullopt;
    }
    return HidIds{attributes.VendorID, attributes.ProductID};
}

// The IDs of the interface at `path`, read through a handle opened and
// closed again at once. Devices that cannot be opened for reading and
// writing this way are never boards.
std::optional<HidIds> probeIds(const std::wstring& path) {
    UniqueHandle probe(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                     nullptr));
    if (!probe) {
        return std::nullopt;
    }
    return attributesOf(probe.get());
}

OpenError openErrorFor(DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED:
            return OpenError::accessDenied;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DEVICE_NOT_CONNECTED:
        case kErrorNoSuchDevice:
            return OpenError::notFound;
        case ERROR_SHARING_VIOLATION:
            return OpenError::busy;
        default:
            return OpenError::failed;
    }
}

// Both lengths stay 0 when the device will not say, and the exchange then
// refuses to send rather than guessing at the device's reports.
ReportLengths reportLengthsOf(HANDLE device) {
    PreparsedData preparsed;
    if (!::HidD_GetPreparsedData(device, &preparsed.data)) {
        return {};
    }
    HIDP_CAPS caps{};
    if (::HidP_GetCaps(preparsed.data, &caps) != HIDP_STATUS_SUCCESS) {
        return {};
    }
    return {caps.InputReportByteLength, caps.OutputReportByteLength};
}

std::optional<std::wstring> stringProperty(DEVINST node, const DEVPROPKEY& key) {
    DEVPROPTYPE type = DEVPROP_TYPE_EMPTY;
    ULONG bytes = 0;
    ::CM_Get_DevNode_PropertyW(node, &key, &type, nullptr, &bytes, 0);
    if (bytes == 0) {
        return std::nullopt;
    }
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    if (::CM_Get_DevNode_PropertyW(node, &key, &type, reinterpret_cast<PBYTE>(buffer.data()),
                                   &bytes, 0) != CR_SUCCESS ||
        (type != DEVPROP_TYPE_STRING && type != DEVPROP_TYPE_STRING_LIST)) {
        return std::nullopt;
    }
    // A string list holds its first entry up to the first terminator.
    std::wstring text(buffer.data());
    if (text.empty()) {
        return std::nullopt;
    }
    return text;
}

// The location path of the nearest device above the interface that has one
// (the USB port, e.g. "PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(2)"), or failing
// that the nearest plain location text such as "Port_#0002.Hub_#0003".
std::string locationOf(const std::wstring& path) {
    DeviceInfoSet set(::SetupDiCreateDeviceInfoList(nullptr, nullptr));
    if (!set) {
        return {};
    }
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof(interfaceData);
    if (!::SetupDiOpenDeviceInterfaceW(set.get(), path.c_str(), 0, &interfaceData)) {
        return {};
    }
    SP_DEVINFO_DATA deviceData{};
    deviceData.cbSize = sizeof(deviceData);
    if (!interfacePath(set.get(), interfaceData, &deviceData)) {
        return {};
    }
    std::optional<std::wstring> plainLocation;
    DEVINST node = deviceData.DevInst;
    for (int depth = 0; depth < kLocationSearchDepth; ++depth) {
        if (auto locationPath = stringProperty(node, DEVPKEY_Device_LocationPaths)) {
            return toUtf8(*locationPath);
        }
        if (!plainLocation) {
            plainLocation = stringProperty(node, DEVPKEY_Device_LocationInfo);
        }
        DEVINST parent = 0;
        if (::CM_Get_Parent(&parent, node, 0) != CR_SUCCESS) {
            break;
        }
        node = parent;
    }
    return plainLocation ? toUtf8(*plainLocation) : std::string();
}

std::string serialNumberOf(const std::wstring& path) {
    // No access rights are needed to ask for a string, so this works even
    // while another program holds the board.
    UniqueHandle device(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    if (!device) {
        return {};
    }
    // USB string descriptors hold at most 126 UTF-16 units.
    std::array<wchar_t, 128> buffer{};
    if (!::HidD_GetSerialNumberString(device.get(), buffer.data(),
                                      static_cast<ULONG>((buffer.size() - 1) * sizeof(wchar_t)))) {
        return {};
    }
    return toUtf8(std::wstring(buffer.data(), ::wcsnlen(buffer.data(), buffer.size())));
}

class WindowsHidDevice final : public HidDevice {
  public:
    WindowsHidDevice(UniqueHandle handle, ReportLengths lengths)
        : handle_(std::move(handle)), lengths_(lengths) {}

    bool ready() const { return io_.valid(); }

    ReportLengths reportLengths() const override { return lengths_; }

    std::optional<HidIds> ids() const override { return attributesOf(handle_.get()); }

    std::optional<std::size_t> write(std::span<const std::uint8_t> report) override {
        const win32::IoResult result = io_.write(handle_.get(), report, kWriteTimeLimit);
        if (result.status != win32::IoStatus::ok) {
            return std::nullopt;
        }
        return result.transferred;
    }

    ReadResult read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) override {
        // ReadFile hands over the report-ID byte first, 0 for a device
        // without numbered reports, which is how the layer above wants it.
        const win32::IoResult result = io_.read(handle_.get(), buffer, timeout);
        switch (result.status) {
            case win32::IoStatus::ok:
                return {ReadStatus::ok, result.transferred};
            case win32::IoStatus::timedOut:
                return {ReadStatus::timedOut, 0};
            case win32::IoStatus::failed:
                break;
        }
        return {ReadStatus::failed, 0};
    }

  private:
    UniqueHandle handle_;
    ReportLengths lengths_;
    win32::OverlappedIo io_;
};

class WindowsHidLayer final : public HidLayer {
  public:
    std::vector<HidInterfaceInfo> listInterfaces(InterfaceFilter wanted) override {
        GUID hidGuid{};
        ::HidD_GetHidGuid(&hidGuid);
        DeviceInfoSet set(::SetupDiGetClassDevsW(&hidGuid, nullptr, nullptr,
                                                 DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
        if (!set) {
            return {};
        }
        std::vector<HidInterfaceInfo> interfaces;
        // Any interface that cannot be described, opened or asked its IDs
        // is passed over; the walk ends only when the set has no more.
        for (DWORD index = 0;; ++index) {
            SP_DEVICE_INTERFACE_DATA interfaceData{};
            interfaceData.cbSize = sizeof(interfaceData);
            if (!::SetupDiEnumDeviceInterfaces(set.get(), nullptr, &hidGuid, index,
                                               &interfaceData)) {
                break;
            }
            const std::optional<std::wstring> path = interfacePath(set.get(), interfaceData);
            if (!path) {
                continue;
            }
            const std::optional<HidIds> ids = probeIds(*path);
            if (!ids || !wanted(ids->vendorId, ids->productId)) {
                continue;
            }
            interfaces.push_back({std::filesystem::path(*path), ids->vendorId, ids->productId});
        }
        return interfaces;
    }

    OpenResult open(const std::filesystem::path& path) override {
        UniqueHandle handle(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
        if (!handle) {
            return {nullptr, openErrorFor(::GetLastError())};
        }
        const ReportLengths lengths = reportLengthsOf(handle.get());
        auto device = std::make_unique<WindowsHidDevice>(std::move(handle), lengths);
        if (!device->ready()) {
            return {nullptr, OpenError::failed};
        }
        return {std::move(device), OpenError::failed};
    }

    HidInterfaceDetails describe(const std::filesystem::path& path) override {
        return {locationOf(path.native()), serialNumberOf(path.native())};
    }
};

}  // namespace

std::unique_ptr<HidLayer> makeSystemHidLayer() { return std::make_unique<WindowsHidLayer>(); }

}  // namespace usbio2
