#include "cli/run_sequence.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/messages.hpp"
#include "fake_hid.hpp"

namespace usbio2 {
namespace {

using testing::FakeHidLayer;
using testing::FakeRead;

class RecordingOutput final : public ConsoleOutput {
  public:
    void write(std::wstring_view text) override { written += text; }
    std::wstring written;
};

using Reports = std::vector<std::vector<std::uint8_t>>;

std::vector<std::uint8_t> portReport(std::uint8_t port1, std::uint8_t port2) {
    std::vector<std::uint8_t> report(kReportSize, 0);
    report[1] = 0x20, report[2] = 0x01, report[3] = port1, report[4] = 0x02, report[5] = port2;
    return report;
}

class RunTest : public ::testing::Test {
  protected:
    int run(const std::wstring& line) {
        std::wistringstream in(line);
        std::vector<std::wstring> arguments;
        for (std::wstring word; in >> word;) {
            arguments.push_back(word);
        }
        return runTool(arguments, env);
    }

    void addBoards(int count) {
        for (int i = 0; i < count; ++i) {
            hid.addBoard(std::string("b").append(std::to_string(i)), i % 2 == 0 ? 0x0120 : 0x0121);
        }
    }

    // Calls that touched a device, without the list.
    std::vector<std::string> deviceCalls() const {
        std::vector<std::string> result;
        for (const std::string& call : hid.calls) {
            if (call != "list") {
                result.push_back(call);
            }
        }
        return result;
    }

    FakeHidLayer hid;
    RecordingOutput out;
    std::vector<std::chrono::milliseconds> sleeps;
    RunEnvironment env{
        .hid = hid,
        .out = out,
        .sleep = [this](std::chrono::milliseconds ms) { sleeps.push_back(ms); },
    };
};

TEST_F(RunTest, NoArgumentsOneBoardCountsAndWritesNothing) {
    addBoards(1);
    EXPECT_EQ(run(L""), kExitSuccess);
    EXPECT_EQ(out.written, countMessage(1));
    EXPECT_TRUE(deviceCalls().empty());
    EXPECT_TRUE(sleeps.empty());
}

TEST_F(RunTest, NoBoardIsNotFound) {
    EXPECT_EQ(run(L""), kExitArgumentOrBoard);
    EXPECT_EQ(out.written, notFoundMessage());
}

TEST_F(RunTest, NamedBoardMissingWritesNothing) {
    addBoards(2);
    EXPECT_EQ(run(L"/s2 1"), kExitArgumentOrBoard);
    EXPECT_EQ(out.written, echoLine(2, 1, 0) + notFoundMessage());
    EXPECT_TRUE(deviceCalls().empty());
}

TEST_F(RunTest, WritesSelectedBoardsInOrderWithExactBytes) {
    addBoards(2);
    EXPECT_EQ(run(L"3 4 /s1 5"), kExitSuccess);
    EXPECT_EQ(out.written, echoLine(0, 3, 4) + echoLine(1, 5, 0) + countMessage(2));
    EXPECT_EQ(deviceCalls(),
              (std::vector<std::string>{"open b0", "write b0", "read b0", "close b0", "open b1",
                                        "write b1", "read b1", "close b1"}));
    EXPECT_EQ(hid.device("b0").written, (Reports{portReport(3, 4)}));
    EXPECT_EQ(hid.device("b1").written, (Reports{portReport(5, 0)}));
}

TEST_F(RunTest, OnlyTheSelectedBoardOfFiveIsTouched) {
    addBoards(5);
    EXPECT_EQ(run(L"/s3 1"), kExitSuccess);
    EXPECT_EQ(deviceCalls(),
              (std::vector<std::string>{"open b3", "write b3", "read b3", "close b3"}));
    EXPECT_EQ(out.written, echoLine(3, 1, 0) + countMessage(5));
}

TEST_F(RunTest, BoardsPastTheFourthAreNeverTouched) {
    addBoards(6);
    EXPECT_EQ(run(L"/s0 1 /s1 2 /s2 3 /s3 4"), kExitSuccess);
    for (const std::string& call : deviceCalls()) {
        EXPECT_EQ(call.find("b4"), std::string::npos);
        EXPECT_EQ(call.find("b5"), std::string::npos);
    }
    EXPECT_EQ(hid.device("b3").written, (Reports{portReport(4, 0)}));
}

TEST_F(RunTest, ValuesAreSentAsTheirLowEightBits) {
    addBoards(1);
    EXPECT_EQ(run(L"256 511"), kExitSuccess);
    EXPECT_EQ(out.written, echoLine(0, 256, 511) + countMessage(1));
    EXPECT_EQ(hid.device("b0").written, (Reports{portReport(0x00, 0xFF)}));
}

TEST_F(RunTest, WaitsAfterWritingWhenAsked) {
    addBoards(1);
    EXPECT_EQ(run(L"/t1000"), kExitSuccess);
    EXPECT_EQ(out.written, countMessage(1));
    EXPECT_EQ(sleeps, (std::vector{std::chrono::milliseconds(1000)}));
}

TEST_F(RunTest, NegativeOrZeroWaitIsNoWait) {
    addBoards(1);
    EXPECT_EQ(run(L"/t-5 1"), kExitSuccess);
    EXPECT_EQ(run(L"/t0 1"), kExitSuccess);
    EXPECT_TRUE(sleeps.empty());
}

TEST_F(RunTest, OpenFailureAfterAnEarlierBoardWasWritten) {
    addBoards(2);
    hid.device("b1").openError = OpenError::notFound;  // unplugged since discovery
    EXPECT_EQ(run(L"/s0 1 /s1 2 /t50"), kExitArgumentOrBoard);
    EXPECT_EQ(out.written,
              echoLine(0, 1, 0) + echoLine(1, 2, 0) + countMessage(2) + notFoundMessage());
    EXPECT_EQ(hid.device("b0").written.size(), 1u);
    EXPECT_TRUE(sleeps.empty());
}

TEST_F(RunTest, FailedExchangeStopsWithCommunicationError) {
    addBoards(3);
    hid.device("b1").reads.push_back(FakeRead{ReadStatus::failed, {}});
    EXPECT_EQ(run(L"/s0 1 /s1 2 /s2 3 /t50"), kExitCommunication);
    EXPECT_EQ(out.written, echoLine(0, 1, 0) + echoLine(1, 2, 0) + echoLine(2, 3, 0) +
                               countMessage(3) + communicationErrorMessage());
    EXPECT_TRUE(hid.device("b2").written.empty());
    EXPECT_TRUE(sleeps.empty());
    // The board that failed is closed all the same.
    EXPECT_EQ(hid.calls.back(), "close b1");
}

TEST_F(RunTest, SilentBoardIsACommunicationError) {
    addBoards(1);
    hid.device("b0").silent = true;
    EXPECT_EQ(run(L"5 6"), kExitCommunication);
    EXPECT_EQ(out.written, echoLine(0, 5, 6) + countMessage(1) + communicationErrorMessage());
}

TEST_F(RunTest, ArgumentErrorsEndBeforeAnyBoardIsLookedFor) {
    addBoards(1);
    struct Case {
        std::wstring arguments;
        std::wstring output;
    };
    for (const Case& c :
         {Case{L"1 2 3", valueLimitMessage()}, Case{L"/s4", indexLimitMessage()},
          Case{L"5 /s9", indexLimitMessage()}, Case{L"/s-1 5", negativeIndexMessage()}}) {
        out.written.clear();
        EXPECT_EQ(run(c.arguments), kExitArgumentOrBoard);
        EXPECT_EQ(out.written, c.output);
    }
    EXPECT_TRUE(hid.calls.empty());
}

TEST_F(RunTest, PermissionProblemIsNamedAfterTheNotFoundMessage) {
    addBoards(2);
    hid.device("b1").openError = OpenError::accessDenied;
    env.udevAdvice = true;
    EXPECT_EQ(run(L"/s1 1"), kExitArgumentOrBoard);
    EXPECT_EQ(out.written, echoLine(1, 1, 0) + countMessage(2) + notFoundMessage() +
                               permissionHint(L"b1", true));
    // Nothing else was written in its place.
    EXPECT_TRUE(hid.device("b0").written.empty());
}

// The node of board 1 went to a keyboard between discovery and the write.
TEST_F(RunTest, NodeReusedByAnotherDeviceIsNeverWritten) {
    addBoards(2);
    hid.device("b1").openedIds = HidIds{0x046D, 0xC31C};
    EXPECT_EQ(run(L"/s0 1 /s1 2"), kExitArgumentOrBoard);
    EXPECT_EQ(out.written,
              echoLine(0, 1, 0) + echoLine(1, 2, 0) + countMessage(2) + notFoundMessage());
    EXPECT_EQ(hid.device("b0").written.size(), 1u);
    EXPECT_TRUE(hid.device("b1").written.empty());
    EXPECT_EQ(hid.calls.back(), "close b1");
}

TEST_F(RunTest, OtherOpenFailuresGiveNoHint) {
    addBoards(1);
    for (OpenError error : {OpenError::notFound, OpenError::busy, OpenError::failed}) {
        out.written.clear();
        hid.device("b0").openError = error;
        EXPECT_EQ(run(L"1"), kExitArgumentOrBoard);
        EXPECT_EQ(out.written, echoLine(0, 1, 0) + countMessage(1) + notFoundMessage());
    }
}

// A user asking for help must never drive board 0's outputs to 0.
TEST_F(RunTest, HelpAndVersionTouchNoBoard) {
    addBoards(2);
    for (const wchar_t* word : {L"--help", L"-h", L"/?"}) {
        out.written.clear();
        EXPECT_EQ(run(word), kExitSuccess) << word;
        EXPECT_EQ(out.written, helpText()) << word;
    }
    out.written.clear();
    EXPECT_EQ(run(L"--version"), kExitSuccess);
    EXPECT_EQ(out.written, versionLine());
    EXPECT_TRUE(hid.calls.empty());
}

// Anywhere but alone, the words are values like any other.
TEST_F(RunTest, InformationalWordsWithOtherArgumentsAreValues) {
    addBoards(1);
    EXPECT_EQ(run(L"--help 5"), kExitSuccess);
    EXPECT_EQ(out.written, echoLine(0, 0, 5) + countMessage(1));
    EXPECT_EQ(hid.device("b0").written, (Reports{portReport(0, 5)}));
    EXPECT_EQ(run(L"--list --version 1"), kExitArgumentOrBoard);  // a third value
    EXPECT_EQ(run(L"--LIST"), kExitSuccess);                      // case matters
    EXPECT_EQ(hid.device("b0").written.size(), 2u);
}

TEST_F(RunTest, ListShowsEveryBoardInOrderAndWritesNothing) {
    addBoards(5);
    hid.addDevice("mouse", 0x046D, 0xC077);
    hid.device("b0").details = {"1-1.2", "SN-0"};
    hid.device("b3").details = {"", "\xE6\x9D\xBF"};  // a UTF-8 serial number
    EXPECT_EQ(run(L"--list"), kExitSuccess);
    EXPECT_EQ(out.written, boardListLine(0, 0x1352, 0x0120, L"b0", L"1-1.2", L"SN-0") +
                               boardListLine(1, 0x1352, 0x0121, L"b1", L"", L"") +
                               boardListLine(2, 0x1352, 0x0120, L"b2", L"", L"") +
                               boardListLine(3, 0x1352, 0x0121, L"b3", L"", L"\u677F") +
                               boardListLine(4, 0x1352, 0x0120, L"b4", L"", L""));
    EXPECT_EQ(out.written.substr(0, out.written.find(L'\n')), L"0: 1352:0120 b0 1-1.2 SN-0");
    for (const std::string& call : deviceCalls()) {
        EXPECT_EQ(call.rfind("describe ", 0), 0u) << call;
    }
}

TEST_F(RunTest, ListWithoutBoardsIsNotFound) {
    hid.addDevice("mouse", 0x046D, 0xC077);
    EXPECT_EQ(run(L"--list"), kExitArgumentOrBoard);
    EXPECT_EQ(out.written, notFoundMessage());
}

}  // namespace
}  // namespace usbio2
