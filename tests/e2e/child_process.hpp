// Runs a program the way a user would, optionally as another user, with its
// output captured and a hard time limit, so a tool that hangs fails a row
// instead of stalling the run.
#pragma once

#include <sys/types.h>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "virtual_device.hpp"

namespace e2e {

struct ChildRequest {
    std::vector<std::string> argv;  // program path first
    std::optional<uid_t> user;      // run with this uid and gid, no supplementary groups
    bool captureOutput = true;      // otherwise the child shares our stdout and stderr
    std::chrono::milliseconds limit{10000};
};

struct ChildOutcome {
    bool started = false;
    bool timedOut = false;  // killed at the limit
    int exitCode = -1;      // -1 when it did not exit normally
    int signal = 0;
    std::string out;
    std::string err;
    Clock::time_point startedAt;
    Clock::time_point endedAt;
    std::string error;  // why it could not be started
};

ChildOutcome runChild(const ChildRequest& request);

}  // namespace e2e
