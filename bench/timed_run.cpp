#include "timed_run.hpp"

#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

namespace bench {
namespace {

void onAlarm(int) {}

std::vector<char*> pointersTo(const std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    pointers.reserve(texts.size() + 1);
    for (const std::string& text : texts) {
        pointers.push_back(const_cast<char*>(text.c_str()));
    }
    pointers.push_back(nullptr);
    return pointers;
}

std::chrono::nanoseconds monotonicNow() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

}  // namespace

void prepareTimedRuns() {
    // Without SA_RESTART, so the alarm breaks the wait for a child that hangs.
    struct sigaction action {};
    action.sa_handler = onAlarm;
    ::sigemptyset(&action.sa_mask);
    ::sigaction(SIGALRM, &action, nullptr);
    // Threads started later inherit this mask and so never take the alarm;
    // the main thread unblocks it for itself alone.
    sigset_t alarmOnly;
    ::sigemptyset(&alarmOnly);
    ::sigaddset(&alarmOnly, SIGALRM);
    ::pthread_sigmask(SIG_BLOCK, &alarmOnly, nullptr);
}

TimedRun timeRun(const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment, int outputFd,
                 std::chrono::seconds limit) {
    TimedRun run;
    std::vector<char*> argv = pointersTo(arguments);
    std::vector<char*> envp = pointersTo(environment);

    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
    posix_spawnattr_t attributes;
    ::posix_spawnattr_init(&attributes);
    sigset_t none;
    ::sigemptyset(&none);
    ::posix_spawnattr_setsigmask(&attributes, &none);
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);

    sigset_t alarmOnly;
    ::sigemptyset(&alarmOnly);
    ::sigaddset(&alarmOnly, SIGALRM);
    ::pthread_sigmask(SIG_UNBLOCK, &alarmOnly, nullptr);
    ::alarm(static_cast<unsigned>(limit.count()));

    const auto startedAt = monotonicNow();
    pid_t child = -1;
    const int spawnError =
        ::posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), envp.data());
    int status = 0;
    rusage usage{};
    if (spawnError == 0) {
        run.started = true;
        while (::wait4(child, &status, 0, &usage) < 0) {
            if (errno != EINTR) {
                break;
            }
            // The alarm: the child is past its limit.
            run.timedOut = true;
            ::kill(child, SIGKILL);
        }
    }
    run.elapsed = monotonicNow() - startedAt;

    ::alarm(0);
    ::pthread_sigmask(SIG_BLOCK, &alarmOnly, nullptr);
    ::posix_spawnattr_destroy(&attributes);
    ::posix_spawn_file_actions_destroy(&actions);
    if (run.started && !run.timedOut && WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
        run.minorFaults = usage.ru_minflt;
    }
    return run;
}

}  // namespace bench
