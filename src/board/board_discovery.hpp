// Finding the USB-IO2 boards present. A board's position in the BoardList is
// its board index, the number that "/s" names.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "board/hid_layer.hpp"

namespace usbio2 {

struct BoardEntry {
    std::filesystem::path devicePath;
    std::uint16_t productId = 0;
};

using BoardList = std::vector<BoardEntry>;

// Appends every board present, in the platform's order, and returns how many
// it appended.
int findBoards(HidLayer& hid, BoardList& list);

void releaseBoards(BoardList& list);

}  // namespace usbio2
