// Runs one program to its end and measures how long that took, from before
// the process is made to after it was reaped: the cost a script pays for one
// call.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace bench {

struct TimedRun {
    bool started = false;
    bool timedOut = false;  // killed at the limit
    int exitCode = -1;      // -1 when it did not exit normally
    std::chrono::nanoseconds elapsed{0};
    long minorFaults = 0;  // pages the run touched for the first time
};

// Call once, on the main thread, before any other thread starts: lets the
// time limit interrupt the wait on the main thread alone.
void prepareTimedRuns();

// `program` gets `arguments` (its own name first) and `environment`, and its
// standard output goes to `outputFd`.
TimedRun timeRun(const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment, int outputFd,
                 std::chrono::seconds limit);

}  // namespace bench
