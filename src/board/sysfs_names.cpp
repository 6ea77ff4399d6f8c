#include "board/sysfs_names.hpp"

#include <charconv>

namespace usbio2 {
namespace {

// Parses a hexadecimal field that must span the whole of `text`.
std::optional<std::uint32_t> parseHex(std::string_view text) {
    if (text.empty() || text.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint16_t> parseHex16(std::string_view text) {
    const auto value = parseHex(text);
    if (!value || *value > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(*value);
}

// "B:V:P" with each field hexadecimal and at most 16 bits of value.
std::optional<HidIdentity> parseTriple(std::string_view text) {
    const auto first = text.find(':');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    const auto second = text.find(':', first + 1);
    if (second == std::string_view::npos) {
        return std::nullopt;
    }
    const auto bus = parseHex16(text.substr(0, first));
    const auto vendor = parseHex16(text.substr(first + 1, second - first - 1));
    const auto product = parseHex16(text.substr(second + 1));
    if (!bus || !vendor || !product) {
        return std::nullopt;
    }
    return HidIdentity{*bus, *vendor, *product};
}

}  // namespace

std::optional<HidIdentity> parseHidDeviceName(std::string_view name) {
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || !parseHex(name.substr(dot + 1))) {
        return std::nullopt;
    }
    return parseTriple(name.substr(0, dot));
}

std::optional<std::string_view> findUeventField(std::string_view uevent, std::string_view key) {
    while (!uevent.empty()) {
        const auto end = uevent.find('\n');
        const std::string_view line = uevent.substr(0, end);
        if (line.size() > key.size() && line.substr(0, key.size()) == key &&
            line[key.size()] == '=') {
            return line.substr(key.size() + 1);
        }
        if (end == std::string_view::npos) {
            break;
        }
        uevent.remove_prefix(end + 1);
    }
    return std::nullopt;
}

std::optional<HidIdentity> parseUeventHidId(std::string_view uevent) {
    const auto field = findUeventField(uevent, "HID_ID");
    return field ? parseTriple(*field) : std::nullopt;
}

std::string_view usbPortOf(std::string_view hidDeviceFolder) {
    while (!hidDeviceFolder.empty() && hidDeviceFolder.back() == '/') {
        hidDeviceFolder.remove_suffix(1);
    }
    // Drop the HID device's own name; what is left ends in the USB interface,
    // named "<port>:<configuration>.<interface>".
    const auto slash = hidDeviceFolder.rfind('/');
    if (slash == std::string_view::npos) {
        return {};
    }
    const std::string_view parent = hidDeviceFolder.substr(0, slash);
    const std::string_view interface = parent.substr(parent.rfind('/') + 1);
    const auto colon = interface.find(':');
    if (colon == 0 || colon == std::string_view::npos ||
        interface.find('.', colon) == std::string_view::npos) {
        return {};
    }
    const std::string_view port = interface.substr(0, colon);
    // "usb1" names a root hub, never a port a board is plugged into.
    if (port.find('-') == std::string_view::npos) {
        return {};
    }
    return port;
}

std::optional<unsigned> parseHidrawNumber(std::string_view name) {
    constexpr std::string_view kPrefix = "hidraw";
    if (name.substr(0, kPrefix.size()) != kPrefix || name.size() == kPrefix.size()) {
        return std::nullopt;
    }
    unsigned value = 0;
    const auto digits = name.substr(kPrefix.size());
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc{} || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace usbio2
