#include "board/board_connection.hpp"

#include <gtest/gtest.h>

#include "fake_hid.hpp"

namespace usbio2 {
namespace {

using testing::boardReply;
using testing::FakeDevice;
using testing::FakeHidLayer;
using testing::FakeRead;

class ExchangeTest : public ::testing::Test {
  protected:
    bool openAndExchange(std::int32_t port1 = 5, std::int32_t port2 = 6) {
        EXPECT_TRUE(openBoard(hid, connection, "board"));
        return exchange(connection, buildPortCommand(port1, port2), reply);
    }

    FakeHidLayer hid;
    FakeDevice& board = hid.addBoard("board");
    BoardConnection connection;
    Reply reply{};
};

TEST_F(ExchangeTest, WritesTheFramedCommandAndTakesTheMatchingReply) {
    board.reads.push_back({ReadStatus::ok, boardReply(0x00)});
    board.reads.front().report[10] = 0x77;
    board.silent = true;

    ASSERT_TRUE(openAndExchange(5, 6));
    ASSERT_EQ(board.written.size(), 1u);
    std::vector<std::uint8_t> expected(kReportSize, 0);
    expected[1] = 0x20, expected[2] = 0x01, expected[3] = 0x05, expected[4] = 0x02,
    expected[5] = 0x06;
    EXPECT_EQ(board.written[0], expected);
    EXPECT_EQ(reply[9], 0x77);  // reply bytes come without the report-ID byte
    EXPECT_EQ(hid.calls, (std::vector<std::string>{"open board", "write board", "read board"}));
}

TEST_F(ExchangeTest, DropsAStaleReportWithAnotherTag) {
    board.reads.push_back({ReadStatus::ok, boardReply(0x05)});
    EXPECT_TRUE(openAndExchange());
    EXPECT_EQ(hid.calls,
              (std::vector<std::string>{"open board", "write board", "read board", "read board"}));
}

TEST_F(ExchangeTest, ShortWriteFailsWithoutReading) {
    board.writeResult = std::optional<std::size_t>{64};
    EXPECT_FALSE(openAndExchange());
    EXPECT_EQ(hid.calls, (std::vector<std::string>{"open board", "write board"}));
}

TEST_F(ExchangeTest, FailedWriteFailsWithoutReading) {
    board.writeResult = std::optional<std::size_t>{};
    EXPECT_FALSE(openAndExchange());
    EXPECT_EQ(hid.calls, (std::vector<std::string>{"open board", "write board"}));
}

TEST_F(ExchangeTest, FailedReadEndsTheExchange) {
    board.reads.push_back({ReadStatus::failed, {}});
    EXPECT_FALSE(openAndExchange());
    EXPECT_EQ(hid.calls, (std::vector<std::string>{"open board", "write board", "read board"}));
}

TEST_F(ExchangeTest, ShortReportEndsTheExchange) {
    board.reads.push_back({ReadStatus::ok, std::vector<std::uint8_t>(64, 0)});
    EXPECT_FALSE(openAndExchange());
}

TEST_F(ExchangeTest, SilentBoardTimesOutAfterTheLimit) {
    board.silent = true;
    const auto start = hid.now();
    EXPECT_FALSE(openAndExchange());
    EXPECT_EQ(hid.now() - start, kReplyTimeLimit);
}

// Reports with the wrong tag keep coming: the limit still holds, counted from
// the write, not from the latest report.
TEST_F(ExchangeTest, FloodOfWrongTagsDoesNotExtendTheLimit) {
    hid.readCost = std::chrono::milliseconds(7);
    for (int i = 0; i < 1000; ++i) {
        board.reads.push_back({ReadStatus::ok, boardReply(0x42)});
    }
    EXPECT_FALSE(openAndExchange());
    EXPECT_LE(hid.now().time_since_epoch(), kReplyTimeLimit + hid.readCost);
    EXPECT_GT(board.reads.size(), 800u);
}

TEST_F(ExchangeTest, RightTagAfterManyWrongOnesWithinTheLimit) {
    for (int i = 0; i < 100; ++i) {
        board.reads.push_back({ReadStatus::ok, boardReply(0x42)});
    }
    EXPECT_TRUE(openAndExchange());
}

struct LengthCase {
    std::size_t input;
    std::size_t output;
    bool sent;
};

void PrintTo(const LengthCase& c, std::ostream* os) {
    *os << "input " << c.input << ", output " << c.output;
}

class DeclaredLengthTest : public ExchangeTest, public ::testing::WithParamInterface<LengthCase> {};

// Declared lengths shorter than a report-ID byte and 64 data bytes are never
// written or read past; longer ones are zero-padded.
TEST_P(DeclaredLengthTest, RefusesShortReportsBeforeSending) {
    const LengthCase c = GetParam();
    board.lengths = {c.input, c.output};
    board.reads.push_back({ReadStatus::ok, [&] {
                               auto report = std::vector<std::uint8_t>(c.input, 0);
                               return report;
                           }()});
    EXPECT_EQ(openAndExchange(), c.sent);
    EXPECT_EQ(board.written.size(), c.sent ? 1u : 0u);
    if (c.sent) {
        EXPECT_EQ(board.written[0].size(), c.output);
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, DeclaredLengthTest,
                         ::testing::Values(LengthCase{65, 65, true}, LengthCase{64, 65, false},
                                           LengthCase{65, 64, false}, LengthCase{0, 0, false},
                                           LengthCase{65, 129, true}));

TEST(OpenBoard, ReportsWhyTheDeviceCouldNotBeOpened) {
    FakeHidLayer hid;
    hid.addBoard("locked").openError = OpenError::accessDenied;
    BoardConnection connection;
    const OpenBoardResult result = openBoard(hid, connection, "locked");
    EXPECT_FALSE(result);
    EXPECT_EQ(result.error, OpenError::accessDenied);
    EXPECT_FALSE(connection.isOpen());
    Reply reply{};
    EXPECT_FALSE(exchange(connection, buildPortCommand(1, 2), reply));
}

TEST(CloseBoard, SecondCloseDoesNothing) {
    FakeHidLayer hid;
    hid.addBoard("board");
    BoardConnection connection;
    ASSERT_TRUE(openBoard(hid, connection, "board"));
    closeBoard(connection);
    closeBoard(connection);
    EXPECT_FALSE(connection.isOpen());
    EXPECT_EQ(hid.calls, (std::vector<std::string>{"open board", "close board"}));
}

TEST(OpenBoard, ClosesTheBoardItHeldBefore) {
    FakeHidLayer hid;
    hid.addBoard("a");
    hid.addBoard("b");
    BoardConnection connection;
    ASSERT_TRUE(openBoard(hid, connection, "a"));
    ASSERT_TRUE(openBoard(hid, connection, "b"));
    EXPECT_EQ(hid.calls, (std::vector<std::string>{"open a", "close a", "open b"}));
}

}  // namespace
}  // namespace usbio2
