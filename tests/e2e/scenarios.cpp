// The end-to-end table. A row names the devices present in hidraw order, the
// tool's arguments, the exact standard output and exit code, and every
// command each device must have received; a device given no writes must
// receive none. "{node:K}" in an expected output stands for device K's node.
#include "scenario.hpp"

namespace e2e {
namespace {

using namespace std::chrono_literals;

const std::string kNotFound = "USB-IO2が見つかりません\n";
const std::string kCommunicationError = "通信エラーが発生しました\n";
const std::string kValueLimit = "1個のデバイスに2個以上の出力は設定できません\n";
const std::string kIndexLimit = "4個以上の指定はサポートしていません";  // no line ending
const std::string kNegativeIndex = "デバイス番号は0から3の範囲で指定してください\n";

std::string connected(int count) { return "USB-IO2の接続数 " + std::to_string(count) + "個\n"; }

std::string noAccess(int device) {
    return "{node:" + std::to_string(device) +
           "} を開く権限がありません (udevルール 60-usbio2.rules を入れてください)\n";
}

DeviceRow board(std::vector<PortValues> writes = {}, std::uint16_t product = kBoardProduct) {
    return {{kBoardVendor, product, Behaviour::answers}, std::move(writes)};
}

DeviceRow faulty(Behaviour behaviour, std::vector<PortValues> writes = {}) {
    return {{kBoardVendor, kBoardProduct, behaviour}, std::move(writes)};
}

DeviceRow rootOnly(DeviceRow row) {
    row.rootOnly = true;
    return row;
}

// Answers like a board, so a tool that took it for one would be caught by
// the commands it received rather than by a time-out.
DeviceRow decoy(std::uint16_t vendor, std::uint16_t product) {
    return {{vendor, product, Behaviour::answers}, {}};
}

std::vector<DeviceRow> untouchedBoards(int count) {
    return std::vector<DeviceRow>(static_cast<std::size_t>(count), board());
}

std::vector<DeviceRow> operator+(std::vector<DeviceRow> left, const std::vector<DeviceRow>& right) {
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

const ReplyWait kFullTimeLimit{900ms, 2500ms};  // the tool gives up after 1000 ms
const ReplyWait kAtOnce{0ms, 800ms};

std::vector<Scenario> makeTable() {
    std::vector<Scenario> rows = {
        // Counting and the presence check.
        {.name = "no arguments, one board: count only",
         .devices = {board()},
         .expectedOutput = connected(1)},
        {.name = "no arguments, no board", .expectedOutput = kNotFound, .expectedExitCode = 1},
        {.name = "only decoys: not found, none written",
         .devices = {decoy(0x1353, 0x0120), decoy(0x1352, 0x0122), decoy(0x1352, 0x0000)},
         .arguments = {"5", "6"},
         .expectedOutput = "0: 5,6\n" + kNotFound,
         .expectedExitCode = 1},
        {.name = "/s2 1 with two boards: not found, none written",
         .devices = untouchedBoards(2),
         .arguments = {"/s2", "1"},
         .expectedOutput = "2: 1,0\n" + kNotFound,
         .expectedExitCode = 1},

        // Discovery: decoys in front of and between both product IDs.
        {.name = "decoys skipped, both product IDs are boards",
         .devices = {decoy(0x1353, 0x0120), board({{1, 2}}, kBoardProductB), decoy(0x1352, 0x0122),
                     board({{3, 4}}, kBoardProduct), decoy(0x0120, 0x1352)},
         .arguments = {"1", "2", "/s1", "3", "4"},
         .expectedOutput = "0: 1,2\n1: 3,4\n" + connected(2)},

        // Which board gets which values.
        {.name = "5 6 writes board 0 only",
         .devices = {board({{5, 6}}), board()},
         .arguments = {"5", "6"},
         .expectedOutput = "0: 5,6\n" + connected(2)},
        {.name = "/s1 255 gives port 2 a 0",
         .devices = {board(), board({{255, 0}})},
         .arguments = {"/s1", "255"},
         .expectedOutput = "1: ff,0\n" + connected(2)},
        {.name = "3 4 /s1 5 writes board 0, then board 1",
         .devices = {board({{3, 4}}), board({{5, 0}})},
         .arguments = {"3", "4", "/s1", "5"},
         .expectedOutput = "0: 3,4\n1: 5,0\n" + connected(2)},
        {.name = "/s1 alone sets both ports to 0",
         .devices = {board(), board({{0, 0}})},
         .arguments = {"/s1"},
         .expectedOutput = "1: 0,0\n" + connected(2)},
        {.name = "/s1 1 2 /s1 3 keeps the earlier port 2",
         .devices = {board(), board({{3, 2}})},
         .arguments = {"/s1", "1", "2", "/s1", "3"},
         .expectedOutput = "1: 3,2\n" + connected(2)},
        {.name = "/s3 1 with five boards writes board 3 only",
         .devices = untouchedBoards(3) + std::vector{board({{1, 0}}), board()},
         .arguments = {"/s3", "1"},
         .expectedOutput = "3: 1,0\n" + connected(5)},
        {.name = "boards past the fourth untouched",
         .devices =
             std::vector{board({{1, 0}}), board({{2, 0}}), board({{3, 0}}), board({{4, 0}})} +
             untouchedBoards(2),
         .arguments = {"/s0", "1", "/s1", "2", "/s2", "3", "/s3", "4"},
         .expectedOutput = "0: 1,0\n1: 2,0\n2: 3,0\n3: 4,0\n" + connected(6)},
        {.name = "7 /s2 1 2 /t500 writes boards 0 and 2, then waits",
         .devices = {board({{7, 0}}), board(), board({{1, 2}})},
         .arguments = {"7", "/s2", "1", "2", "/t500"},
         .expectedOutput = "0: 7,0\n2: 1,2\n" + connected(3),
         .minimumRunTime = 500ms},
        {.name = "/t1000 counts, writes nothing, waits",
         .devices = {board()},
         .arguments = {"/t1000"},
         .expectedOutput = connected(1),
         .minimumRunTime = 1000ms},

        // What reaches the board from a value.
        {.name = "256 511 send their low 8 bits",
         .devices = {board({{0x00, 0xFF}})},
         .arguments = {"256", "511"},
         .expectedOutput = "0: 100,1ff\n" + connected(1)},
        {.name = "-1 sends ff",
         .devices = {board({{0xFF, 0x00}})},
         .arguments = {"-1"},
         .expectedOutput = "0: ffffffff,0\n" + connected(1)},
        {.name = "full-width digits in the C locale",
         .devices = {board(), board({{12, 3}})},
         .arguments = {"/s１", "１２", "３"},
         .expectedOutput = "1: c,3\n" + connected(2)},
        {.name = "/S1 is a value for board 0",
         .devices = {board({{0, 0}})},
         .arguments = {"/S1"},
         .expectedOutput = "0: 0,0\n" + connected(1)},

        // Argument errors stop before any board is touched.
        {.name = "1 2 3: value limit, none written",
         .devices = {board()},
         .arguments = {"1", "2", "3"},
         .expectedOutput = kValueLimit,
         .expectedExitCode = 1},
        {.name = "/s4: index limit without line ending, none written",
         .devices = untouchedBoards(2),
         .arguments = {"1", "/s4", "2"},
         .expectedOutput = kIndexLimit,
         .expectedExitCode = 1},
        {.name = "/s-1: rejected, none written",
         .devices = {board()},
         .arguments = {"/s-1", "5"},
         .expectedOutput = kNegativeIndex,
         .expectedExitCode = 1},

        // Replies that are not the reply.
        {.name = "stale report with another tag is dropped",
         .devices = {faulty(Behaviour::staleReport, {{5, 6}})},
         .arguments = {"5", "6"},
         .expectedOutput = "0: 5,6\n" + connected(1)},
        {.name = "report with another tag first, reply later",
         .devices = {faulty(Behaviour::wrongTagFirst, {{5, 6}}), board({{7, 8}})},
         .arguments = {"5", "6", "/s1", "7", "8"},
         .expectedOutput = "0: 5,6\n1: 7,8\n" + connected(2)},
        {.name = "flood of reports with another tag, reply later",
         .devices = {faulty(Behaviour::wrongTagFlood, {{5, 6}})},
         .arguments = {"5", "6"},
         .expectedOutput = "0: 5,6\n" + connected(1)},
        {.name = "only reports with another tag: communication error",
         .devices = {faulty(Behaviour::wrongTagOnly, {{5, 6}})},
         .arguments = {"5", "6"},
         .expectedOutput = "0: 5,6\n" + connected(1) + kCommunicationError,
         .expectedExitCode = 2,
         .replyWait = kFullTimeLimit},

        // Boards that stop talking.
        {.name = "silent board: error after the time limit, later board untouched",
         .devices = {board({{1, 0}}), faulty(Behaviour::silent, {{2, 0}}), board()},
         .arguments = {"1", "/s1", "2", "/s2", "3"},
         .expectedOutput = "0: 1,0\n1: 2,0\n2: 3,0\n" + connected(3) + kCommunicationError,
         .expectedExitCode = 2,
         .replyWait = kFullTimeLimit},
        {.name = "board unplugged while the tool waits: error at once",
         .devices = {faulty(Behaviour::vanishes, {{5, 6}}), board()},
         .arguments = {"5", "6", "/s1", "1"},
         .expectedOutput = "0: 5,6\n1: 1,0\n" + connected(2) + kCommunicationError,
         .expectedExitCode = 2,
         .replyWait = kAtOnce},

        // Nodes this user may not open.
        {.name = "unprivileged user with access writes the board",
         .devices = {board({{5, 6}})},
         .arguments = {"5", "6"},
         .expectedOutput = "0: 5,6\n" + connected(1),
         .unprivileged = true},
        {.name = "root-only board 0 as nobody: not found, no other board written",
         .devices = {rootOnly(board()), board()},
         .arguments = {"5", "6"},
         .expectedOutput = "0: 5,6\n" + connected(2) + kNotFound + noAccess(0),
         .expectedExitCode = 1,
         .unprivileged = true},
        {.name = "root-only board 1 as nobody: board 0 keeps its values",
         .devices = {board({{1, 0}}), rootOnly(board())},
         .arguments = {"1", "/s1", "2"},
         .expectedOutput = "0: 1,0\n1: 2,0\n" + connected(2) + kNotFound + noAccess(1),
         .expectedExitCode = 1,
         .unprivileged = true},

        // The informational words.
        {.name = "--help with boards present writes none",
         .devices = untouchedBoards(2),
         .arguments = {"--help"},
         .expectedOutput = "使い方: usbio2-write ",
         .outputIsPrefix = true},
        {.name = "--help among other arguments is a value",
         .devices = {board({{0, 5}})},
         .arguments = {"--help", "5"},
         .expectedOutput = "0: 0,5\n" + connected(1)},
        {.name = "--list shows the boards in index order, writes none",
         .devices = {decoy(0x1353, 0x0120), board({}, kBoardProductB), decoy(0x1352, 0x0122),
                     board({}, kBoardProduct)},
         .arguments = {"--list"},
         .expectedOutput = "0: 1352:0121 {node:1} - vboard1\n1: 1352:0120 {node:3} - vboard3\n"},
    };
    return rows;
}

}  // namespace

const std::vector<Scenario>& scenarioTable() {
    static const std::vector<Scenario> table = makeTable();
    return table;
}

Command portCommand(PortValues ports) {
    Command command{};
    command[0] = 0x20;
    command[1] = 0x01;
    command[2] = ports.port1;
    command[3] = 0x02;
    command[4] = ports.port2;
    return command;  // byte 63, the tag, is 0
}

}  // namespace e2e
