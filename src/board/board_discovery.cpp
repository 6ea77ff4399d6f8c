#include "board/board_discovery.hpp"

#include "board/board_protocol.hpp"

namespace usbio2 {

int findBoards(HidLayer& hid, BoardList& list) {
    int count = 0;
    for (auto& interface : hid.listInterfaces(isBoard)) {
        if (isBoard(interface.vendorId, interface.productId)) {
            list.push_back(BoardEntry{std::move(interface.path), interface.productId});
            ++count;
        }
    }
    return count;
}

void releaseBoards(BoardList& list) {
    list.clear();
    list.shrink_to_fit();
}

}  // namespace usbio2
