#include "board/board_discovery.hpp"

#include <gtest/gtest.h>

#include "fake_hid.hpp"

namespace usbio2 {
namespace {

using testing::FakeHidLayer;

std::vector<std::string> paths(const BoardList& list) {
    std::vector<std::string> result;
    for (const BoardEntry& entry : list) {
        result.push_back(entry.devicePath.string());
    }
    return result;
}

TEST(FindBoards, NoInterfacesGivesAnEmptyList) {
    FakeHidLayer hid;
    BoardList list;
    EXPECT_EQ(findBoards(hid, list), 0);
    EXPECT_TRUE(list.empty());
}

class FindBoardsAmongDecoys : public ::testing::TestWithParam<bool> {};

// Whether or not the layer honours the filter, only boards are listed, both
// products alike, in the layer's order.
TEST_P(FindBoardsAmongDecoys, KeepsBothProductsInOrderAndDropsOthers) {
    FakeHidLayer hid;
    hid.ignoreFilter = GetParam();
    hid.addDevice("mouse", 0x046D, 0xC077);
    hid.addBoard("b21", 0x0121);
    hid.addDevice("other-product", 0x1352, 0x0122);
    hid.addDevice("other-vendor", 0x1353, 0x0120);
    hid.addBoard("b20", 0x0120);

    BoardList list;
    EXPECT_EQ(findBoards(hid, list), 2);
    EXPECT_EQ(paths(list), (std::vector<std::string>{"b21", "b20"}));
    EXPECT_EQ(hid.calls, (std::vector<std::string>{"list"}));
}

INSTANTIATE_TEST_SUITE_P(Filter, FindBoardsAmongDecoys, ::testing::Bool());

TEST(FindBoards, AsksTheLayerForBoardsOnly) {
    FakeHidLayer hid;
    BoardList list;
    findBoards(hid, list);
    ASSERT_NE(hid.lastFilter, nullptr);
    EXPECT_TRUE(hid.lastFilter(0x1352, 0x0120));
    EXPECT_TRUE(hid.lastFilter(0x1352, 0x0121));
    EXPECT_FALSE(hid.lastFilter(0x1352, 0x0001));
    EXPECT_FALSE(hid.lastFilter(0x046D, 0x0120));
}

TEST(FindBoards, CountsOnlyWhatItAppended) {
    FakeHidLayer hid;
    hid.addBoard("b");
    BoardList list{BoardEntry{"earlier"}};
    EXPECT_EQ(findBoards(hid, list), 1);
    EXPECT_EQ(paths(list), (std::vector<std::string>{"earlier", "b"}));
    releaseBoards(list);
    EXPECT_TRUE(list.empty());
}

}  // namespace
}  // namespace usbio2
