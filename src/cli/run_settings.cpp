#include "cli/run_settings.hpp"

#include "cli/number_rule.hpp"

namespace usbio2 {
namespace {

bool startsWith(const std::wstring& argument, std::wstring_view prefix) {
    return std::wstring_view(argument).substr(0, prefix.size()) == prefix;
}

}  // namespace

ParseResult parseArguments(std::span<const std::wstring> arguments) {
    RunSettings settings;
    int currentIndex = 0;
    int valueCount = 0;

    for (const std::wstring& argument : arguments) {
        if (startsWith(argument, L"/s")) {
            const std::int32_t index = parseNumber(std::wstring_view(argument).substr(2));
            if (index >= kSlotCount) {
                return ArgumentError::indexLimit;
            }
            if (index < 0) {
                return ArgumentError::negativeIndex;
            }
            if (index > settings.highestIndex) {
                settings.highestIndex = index;
            }
            currentIndex = index;
            valueCount = 1;
            settings.slots[static_cast<std::size_t>(index)].selected = 1;
        } else if (startsWith(argument, L"/t")) {
            settings.waitMs = parseNumber(std::wstring_view(argument).substr(2));
        } else {
            if (currentIndex == 0 && valueCount == 0) {
                // A value before any "/s" selects board 0.
                settings.slots[0].selected = 1;
                valueCount = 1;
            } else if (valueCount > 2) {
                return ArgumentError::valueLimit;
            }
            settings.slots[static_cast<std::size_t>(currentIndex)].column(valueCount) =
                parseNumber(argument);
            ++valueCount;
        }
    }
    return settings;
}

}  // namespace usbio2
