// libFuzzer target over argument parsing and the number rule. The input is a
// command line: arguments separated by NUL bytes (which no real argument can
// hold), each read as UTF-8 the way the tool reads it in the C locale.
// Built with _GLIBCXX_ASSERTIONS, so indexing a board slot outside 0 to 3
// traps even where AddressSanitizer would see memory that is still valid.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/number_rule.hpp"
#include "cli/run_settings.hpp"
#include "cli/text_encoding.hpp"

namespace {

using usbio2::ArgumentError;
using usbio2::parseNumber;

constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::vector<std::wstring> splitArguments(const std::uint8_t* data, std::size_t size) {
    std::vector<std::wstring> arguments;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\0');
        arguments.push_back(usbio2::decodeUtf8(rest.substr(0, end)));
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    return arguments;
}

bool isDigit(wchar_t c) { return usbio2::digitValue(static_cast<char32_t>(c)) >= 0; }

// For text that starts with a digit: the value of the leading digits, cut
// to the limit of the sign's side, counted without relying on the rule's own
// arithmetic.
std::int64_t clampedDigits(std::wstring_view text, bool negative) {
    const std::int64_t limit = negative ? -kMin : kMax;
    std::int64_t value = 0;
    for (wchar_t c : text) {
        const int digit = usbio2::digitValue(static_cast<char32_t>(c));
        if (digit < 0) {
            break;
        }
        value = value > limit / 10 ? limit + 1 : value * 10 + digit;
        if (value > limit) {
            value = limit + 1;
        }
    }
    return std::min(value, limit);
}

void checkNumberRule(const std::wstring& text, const std::wstring& other) {
    for (wchar_t c : text) {
        const int digit = usbio2::digitValue(static_cast<char32_t>(c));
        require(digit >= -1 && digit <= 9);
    }
    const std::int32_t value = parseNumber(text);
    // Reading stops at the first character that cannot continue a number.
    require(parseNumber(text + L'x' + other) == value);

    if (!text.empty() && isDigit(text[0])) {
        require(value == clampedDigits(text, false));
        require(parseNumber(L'+' + text) == value);
        require(parseNumber(L" \t" + text) == value);
        require(parseNumber(L'-' + text) == -clampedDigits(text, true));
    }
}

// The settings the rules call for, worked out separately from the parser.
struct Model {
    struct Slot {
        std::int32_t selected = 0;
        std::int32_t port1 = 0;
        std::int32_t port2 = 0;
    };
    Slot slots[4];
    std::int32_t waitMs = 0;
    std::int32_t highestIndex = 0;
};

std::variant<Model, ArgumentError> model(const std::vector<std::wstring>& arguments) {
    Model expected;
    std::int64_t current = 0;
    int valueCount = 0;
    for (const std::wstring& argument : arguments) {
        const std::wstring_view view = argument;
        if (view.starts_with(L"/s")) {
            const std::int64_t index = parseNumber(view.substr(2));
            if (index >= 4) {
                return ArgumentError::indexLimit;
            }
            if (index < 0) {
                return ArgumentError::negativeIndex;
            }
            current = index;
            valueCount = 1;
            expected.slots[index].selected = 1;
            expected.highestIndex =
                std::max<std::int32_t>(expected.highestIndex, static_cast<std::int32_t>(index));
        } else if (view.starts_with(L"/t")) {
            expected.waitMs = parseNumber(view.substr(2));
        } else {
            if (current == 0 && valueCount == 0) {
                expected.slots[0].selected = 1;
                valueCount = 1;
            } else if (valueCount > 2) {
                return ArgumentError::valueLimit;
            }
            (valueCount == 1 ? expected.slots[current].port1 : expected.slots[current].port2) =
                parseNumber(argument);
            ++valueCount;
        }
    }
    return expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::wstring> arguments = splitArguments(data, size);
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        checkNumberRule(arguments[i], arguments[(i + 1) % arguments.size()]);
    }

    const usbio2::ParseResult parsed = usbio2::parseArguments(arguments);
    const auto expected = model(arguments);
    if (const auto* error = std::get_if<ArgumentError>(&parsed)) {
        require(std::holds_alternative<ArgumentError>(expected));
        require(*error == std::get<ArgumentError>(expected));
        return 0;
    }
    require(std::holds_alternative<Model>(expected));
    const auto& settings = std::get<usbio2::RunSettings>(parsed);
    const Model& want = std::get<Model>(expected);
    require(settings.highestIndex >= 0 && settings.highestIndex < usbio2::kSlotCount);
    require(settings.highestIndex == want.highestIndex);
    require(settings.waitMs == want.waitMs);
    for (std::size_t k = 0; k < 4; ++k) {
        const usbio2::BoardSlot& slot = settings.slots[k];
        require(slot.selected == want.slots[k].selected);
        require(slot.port1 == want.slots[k].port1);
        require(slot.port2 == want.slots[k].port2);
        // A board beyond the highest one named is never selected, since
        // values without "/s" go to board 0.
        require(slot.selected == 0 || static_cast<std::int32_t>(k) <= settings.highestIndex);
    }
    return 0;
}
