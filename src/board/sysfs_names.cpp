#include "board/sysfs_names.hpp"

#include <array>
#include <charconv>

namespace usbio2 {
namespace {

// The value of each hexadecimal digit, -1 for every other character.
constexpr std::array<std::int8_t, 256> kHexDigits = [] {
    std::array<std::int8_t, 256> digits{};
    digits.fill(-1);
    for (int i = 0; i < 10; ++i) {
        digits['0' + i] = static_cast<std::int8_t>(i);
    }
    for (int i = 0; i < 6; ++i) {
        digits['a' + i] = digits['A' + i] = static_cast<std::int8_t>(10 + i);
    }
    return digits;
}();

// Splits all of `text` into N hexadecimal fields of 1 to 8 digits each, at
// the N - 1 `separators` in turn. One pass, by hand: the name of every HID
// device present goes through here on every run, and splitting first and
// then calling std::from_chars per field cost two and a half times as much.
template <std::size_t N>
std::optional<std::array<std::uint32_t, N>> parseHexFields(std::string_view text,
                                                           std::string_view separators) {
    std::array<std::uint32_t, N> fields{};
    std::size_t at = 0;
    for (std::size_t field = 0; field < N; ++field) {
        const std::size_t start = at;
        std::uint32_t value = 0;
        for (; at < text.size(); ++at) {
            const int digit = kHexDigits[static_cast<unsigned char>(text[at])];
            if (digit < 0) {
                break;
            }
            value = value << 4 | static_cast<std::uint32_t>(digit);
        }
        if (at == start || at - start > 8) {
            return std::nullopt;
        }
        fields[field] = value;
        if (field + 1 < N) {
            if (at == text.size() || text[at] != separators[field]) {
                return std::nullopt;
            }
            ++at;
        }
    }
    if (at != text.size()) {
        return std::nullopt;
    }
    return fields;
}

// Bus, vendor and product from the first three fields, each at most 16 bits.
template <std::size_t N>
std::optional<HidIdentity> identityOf(const std::optional<std::array<std::uint32_t, N>>& fields) {
    if (!fields || (*fields)[0] > 0xFFFF || (*fields)[1] > 0xFFFF || (*fields)[2] > 0xFFFF) {
        return std::nullopt;
    }
    return HidIdentity{static_cast<std::uint16_t>((*fields)[0]),
                       static_cast<std::uint16_t>((*fields)[1]),
                       static_cast<std::uint16_t>((*fields)[2])};
}

}  // namespace

std::optional<HidIdentity> parseHidDeviceName(std::string_view name) {
    return identityOf(parseHexFields<4>(name, "::."));
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
    return field ? identityOf(parseHexFields<3>(*field, "::")) : std::nullopt;
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
