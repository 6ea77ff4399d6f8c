// What the command line asks for: per-board port values and the wait.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <variant>

namespace usbio2 {

inline constexpr int kSlotCount = 4;

struct BoardSlot {
    std::int32_t selected = 0;
    std::int32_t port1 = 0;
    std::int32_t port2 = 0;

    // Columns 1 and 2 are port1 and port2, as bare values fill them.
    std::int32_t& column(int index) { return index == 1 ? port1 : port2; }
};

struct RunSettings {
    std::array<BoardSlot, kSlotCount> slots{};
    std::int32_t waitMs = 0;
    std::int32_t highestIndex = 0;
};

enum class ArgumentError {
    indexLimit,     // "/s" with an index of 4 or more
    negativeIndex,  // "/s" with an index below 0
    valueLimit,     // a third value for one board
};

using ParseResult = std::variant<RunSettings, ArgumentError>;

// Arguments without the program name.
ParseResult parseArguments(std::span<const std::wstring> arguments);

}  // namespace usbio2
