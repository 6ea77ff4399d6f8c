// One row of the end-to-end table: the devices present, how the tool is run,
// and everything it must (and must not) have done.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "virtual_device.hpp"

namespace e2e {

struct DeviceRow {
    DeviceSpec kind;
    std::vector<PortValues> expectedWrites;  // the commands it must receive, in order
    bool rootOnly = false;  // its node stays root's own when the tool runs as nobody
};

// Bounds on how long the tool ran on after the last command a board received.
struct ReplyWait {
    std::chrono::milliseconds atLeast{0};
    std::chrono::milliseconds atMost{0};
};

struct Scenario {
    std::string name{};
    std::vector<DeviceRow> devices{};  // created in this order, so hidraw numbers ascend
    std::vector<std::string> arguments{};
    std::string expectedOutput{};  // standard output, byte for byte
    bool outputIsPrefix = false;   // for long texts whose wording is not the point
    int expectedExitCode = 0;
    bool unprivileged = false;  // run the tool as nobody (65534) instead of root
    std::optional<ReplyWait> replyWait{};
    std::chrono::milliseconds minimumRunTime{0};
};

const std::vector<Scenario>& scenarioTable();

// The command the tool owes a board for these port values.
Command portCommand(PortValues ports);

}  // namespace e2e
