#include "board/board_protocol.hpp"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace usbio2 {
namespace {

TEST(IsBoard, AcceptsBothProductsOfTheVendorOnly) {
    EXPECT_TRUE(isBoard(0x1352, 0x0120));
    EXPECT_TRUE(isBoard(0x1352, 0x0121));
    EXPECT_FALSE(isBoard(0x1352, 0x0122));
    EXPECT_FALSE(isBoard(0x1352, 0x011F));
    EXPECT_FALSE(isBoard(0x1353, 0x0120));
    EXPECT_FALSE(isBoard(0x0120, 0x1352));
}

TEST(BuildPortCommand, LaysOutCodePortsAndTagWithEverythingElseZero) {
    const Command command = buildPortCommand(5, 6);
    Command expected{};
    expected[0] = 0x20;
    expected[1] = 0x01;
    expected[2] = 0x05;
    expected[3] = 0x02;
    expected[4] = 0x06;
    expected[63] = 0x00;
    EXPECT_EQ(command, expected);
}

TEST(BuildPortCommand, SendsOnlyTheLowEightBitsOfEachValue) {
    const std::vector<std::tuple<std::int32_t, std::uint8_t>> cases = {
        {0, 0x00},    {255, 0xFF},        {256, 0x00},       {511, 0xFF},       {-1, 0xFF},
        {-256, 0x00}, {0x12345678, 0x78}, {INT32_MIN, 0x00}, {INT32_MAX, 0xFF},
    };
    for (const auto& [value, sent] : cases) {
        const Command command = buildPortCommand(value, value);
        EXPECT_EQ(command[2], sent) << value;
        EXPECT_EQ(command[4], sent) << value;
    }
}

TEST(FrameOutputReport, PutsReportIdZeroBeforeTheCommand) {
    const Command command = buildPortCommand(0xAB, 0xCD);
    std::vector<std::uint8_t> report(kReportSize, 0xEE);
    frameOutputReport(command, report);
    EXPECT_EQ(report[0], 0x00);
    EXPECT_TRUE(std::equal(command.begin(), command.end(), report.begin() + 1));
}

TEST(IsReplyTo, ComparesTheLastByteOfTheReply) {
    std::vector<std::uint8_t> report(kReportSize, 0);
    EXPECT_TRUE(isReplyTo(report, 0x00));
    report[64] = 0x05;
    EXPECT_FALSE(isReplyTo(report, 0x00));
    EXPECT_TRUE(isReplyTo(report, 0x05));
    // Other bytes do not matter.
    report[63] = 0x00;
    EXPECT_FALSE(isReplyTo(report, 0x00));
    // A report too short to hold the tag answers nothing.
    EXPECT_FALSE(isReplyTo(std::span(report).first(64), 0x00));
}

}  // namespace
}  // namespace usbio2
